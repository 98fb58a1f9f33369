#!/usr/bin/python3
"""Checks the ONNX pose network against a plain numpy run of the TFLite graph.

The numpy side interprets the .tflite in its own NHWC layout, operator by operator, without
any of the converter's layout changes; only the flatbuffer reading is shared. The ONNX file runs
through tools/pose_onnx.py, a numpy interpreter of its own NCHW graph. Both run on the
same 256×256 RGB input and the largest difference of each kept output is printed.

    tools/check-pose-conversion.py pose_landmark_lite.tflite data/pose_landmark_lite.onnx \
        tests/data/astronaut.png ...
"""

import importlib.util
import os
import sys

import cv2
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("tflite_to_onnx",
                                              os.path.join(HERE, "tflite-to-onnx.py"))
converter = importlib.util.module_from_spec(spec)
spec.loader.exec_module(converter)
sys.path.insert(0, HERE)
from pose_onnx import PoseOnnx  # noqa: E402


def same_pads(size, kernel, stride, dilation=1):
    out = -(-size // stride)
    total = max((out - 1) * stride + (kernel - 1) * dilation + 1 - size, 0)
    return total // 2, total - total // 2


def activate(x, code):
    if code == 1:
        return np.maximum(x, 0)
    if code == 3:
        return np.clip(x, 0, 6)
    if code == 2:
        return np.clip(x, -1, 1)
    if code == 4:
        return np.tanh(x)
    assert code == 0, code
    return x


def windows(x, kh, kw, sh, sw, dh, dw, padding, fill):
    """Yields (ky, kx, strided view) for each kernel tap over the padded NHWC input."""
    _, h, w, _ = x.shape
    if padding == 0:
        (t, b), (l, r) = same_pads(h, kh, sh, dh), same_pads(w, kw, sw, dw)
        oh, ow = -(-h // sh), -(-w // sw)
    else:
        t = b = l = r = 0
        oh, ow = (h - (kh - 1) * dh - 1) // sh + 1, (w - (kw - 1) * dw - 1) // sw + 1
    xp = np.pad(x, ((0, 0), (t, b), (l, r), (0, 0)), constant_values=fill)
    for ky in range(kh):
        for kx in range(kw):
            y0, x0 = ky * dh, kx * dw
            yield ky, kx, xp[:, y0:y0 + (oh - 1) * sh + 1:sh, x0:x0 + (ow - 1) * sw + 1:sw, :]


def resize_bilinear(x, oh, ow, align, half):
    _, h, w, _ = x.shape

    def taps(out, size):
        if align and out > 1:
            scale = (size - 1) / (out - 1)
        else:
            scale = size / out
        pos = np.arange(out, dtype=np.float64)
        src = (pos + 0.5) * scale - 0.5 if half else pos * scale
        lo = np.floor(src)
        frac = (src - lo).astype(np.float32)
        i0 = np.clip(lo.astype(int), 0, size - 1)
        i1 = np.clip(np.ceil(src).astype(int), 0, size - 1)
        return i0, i1, frac

    y0, y1, fy = taps(oh, h)
    x0, x1, fx = taps(ow, w)
    fy = fy[None, :, None, None]
    fx = fx[None, None, :, None]
    top = x[:, y0][:, :, x0] * (1 - fx) + x[:, y0][:, :, x1] * fx
    bottom = x[:, y1][:, :, x0] * (1 - fx) + x[:, y1][:, :, x1] * fx
    return top * (1 - fy) + bottom * fy


def run_tflite(model, image):
    values = {}
    for t in model.tensors:
        if t.data:
            values[t.index] = np.array(t.values(), dtype=np.float32 if t.type in (0, 1)
                                       else np.int64).reshape(t.shape)
    values[model.inputs[0]] = image[None].astype(np.float32)
    for op in model.operators:
        ins = [values.get(i) for i in op.inputs]
        if op.kind == "DEQUANTIZE":
            out = ins[0].astype(np.float32)
        elif op.kind == "CONV_2D":
            x, wts, bias = ins
            o, kh, kw, _ = wts.shape
            acc = 0
            for ky, kx, view in windows(x, kh, kw, op.option(2, "i", 1), op.option(1, "i", 1),
                                        op.option(5, "i", 1), op.option(4, "i", 1),
                                        op.option(0, "b"), 0.0):
                acc = acc + view @ wts[:, ky, kx, :].T
            out = activate(acc + bias, op.option(3, "b"))
        elif op.kind == "DEPTHWISE_CONV_2D":
            x, wts, bias = ins
            _, kh, kw, _ = wts.shape
            acc = 0
            for ky, kx, view in windows(x, kh, kw, op.option(2, "i", 1), op.option(1, "i", 1),
                                        op.option(6, "i", 1), op.option(5, "i", 1),
                                        op.option(0, "b"), 0.0):
                acc = acc + view * wts[0, ky, kx, :]
            out = activate(acc + bias, op.option(4, "b"))
        elif op.kind == "MAX_POOL_2D":
            out = None
            for _, _, view in windows(ins[0], op.option(4, "i", 1), op.option(3, "i", 1),
                                      op.option(2, "i", 1), op.option(1, "i", 1), 1, 1,
                                      op.option(0, "b"), -np.inf):
                out = view if out is None else np.maximum(out, view)
            out = activate(out, op.option(5, "b"))
        elif op.kind == "ADD":
            out = activate(ins[0] + ins[1], op.option(0, "b"))
        elif op.kind == "PAD":
            out = np.pad(ins[0], ins[1].astype(int), constant_values=0.0)
        elif op.kind == "RESHAPE":
            out = ins[0].reshape(model.tensors[op.outputs[0]].shape)
        elif op.kind == "RESIZE_BILINEAR":
            oh, ow = model.tensors[op.outputs[0]].shape[1:3]
            out = resize_bilinear(ins[0], oh, ow, op.option(2, "B"), op.option(3, "B"))
        elif op.kind == "LOGISTIC":
            out = 1 / (1 + np.exp(-ins[0]))
        else:
            raise ValueError(op.kind)
        assert list(out.shape) == model.tensors[op.outputs[0]].shape, op.kind
        values[op.outputs[0]] = out.astype(np.float32)
    return {model.tensors[i].name: values[i] for i in model.outputs}


def main():
    tflite_path, onnx_path, *images = sys.argv[1:]
    with open(tflite_path, "rb") as f:
        model = converter.Model(f.read())
    network = PoseOnnx(onnx_path)
    inputs = [("noise", np.random.default_rng(7).random((256, 256, 3), dtype=np.float32))]
    for path in images:
        bgr = cv2.imread(path, cv2.IMREAD_COLOR)
        rgb = cv2.resize(cv2.cvtColor(bgr, cv2.COLOR_BGR2RGB), (256, 256))
        inputs.append((os.path.basename(path), rgb.astype(np.float32) / 255.0))
    worst = 0.0
    for label, image in inputs:
        reference = run_tflite(model, image)
        landmarks, presence = network.run(image)
        ours = [landmarks, np.float32(presence)]
        for name, got in zip(["Identity", "Identity_1"], ours):
            want = reference[name]
            diff = float(np.max(np.abs(got.reshape(want.shape) - want)))
            scale = float(np.max(np.abs(want)))
            # Landmarks are in input pixels, up to a few hundred: judge relative to the range.
            relative = diff / max(scale, 1.0)
            worst = max(worst, relative)
            print("%-14s %-10s max|diff| %.3g  max|value| %.3g  relative %.2g"
                  % (label, name, diff, scale, relative))
    print("largest relative difference %.2g" % worst)
    return 0 if worst < 1e-4 else 1


if __name__ == "__main__":
    sys.exit(main())
