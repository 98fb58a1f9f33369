"""Runs data/pose_landmark_lite.onnx in plain numpy, for the tools that look at the network.

Reads the file with Debian's python3-onnx and interprets the few operators the converted
landmark graph uses (Conv, Clip, Add, Pad, MaxPool, Reshape, Sigmoid) in the file's own NCHW
layout. Slow, but independent of the XNNPACK engine the app runs.

    network = PoseOnnx("data/pose_landmark_lite.onnx")
    landmarks, presence = network.run(canvas)  # canvas: 256×256×3 RGB floats in [0, 1]
"""

import numpy as np
import onnx
from onnx import numpy_helper


def _attributes(node):
    return {a.name: onnx.helper.get_attribute_value(a) for a in node.attribute}


def _windows(x, kernel, strides, pads, dilations, fill):
    """Yields (ky, kx, strided view) for each kernel tap over the padded NCHW input."""
    top, left, bottom, right = pads
    xp = np.pad(x, ((0, 0), (0, 0), (top, bottom), (left, right)), constant_values=fill)
    (kh, kw), (sh, sw), (dh, dw) = kernel, strides, dilations
    oh = (xp.shape[2] - (kh - 1) * dh - 1) // sh + 1
    ow = (xp.shape[3] - (kw - 1) * dw - 1) // sw + 1
    for ky in range(kh):
        for kx in range(kw):
            y0, x0 = ky * dh, kx * dw
            yield ky, kx, xp[:, :, y0:y0 + (oh - 1) * sh + 1:sh, x0:x0 + (ow - 1) * sw + 1:sw]


class PoseOnnx:
    def __init__(self, path):
        model = onnx.load(path)
        onnx.checker.check_model(model)
        self.graph = model.graph
        self.constants = {t.name: numpy_helper.to_array(t) for t in model.graph.initializer}

    def run(self, canvas):
        values = dict(self.constants)
        values[self.graph.input[0].name] = np.transpose(canvas.astype(np.float32),
                                                        (2, 0, 1))[None]
        for node in self.graph.node:
            ins = [values[name] if name else None for name in node.input]
            values[node.output[0]] = getattr(self, "_" + node.op_type.lower())(
                ins, _attributes(node)).astype(np.float32)
        landmarks, presence = (values[o.name] for o in self.graph.output)
        return landmarks.reshape(-1), float(presence.ravel()[0])

    @staticmethod
    def _conv(ins, a):
        x, w = ins[0], ins[1]
        group = a.get("group", 1)
        taps = _windows(x, a["kernel_shape"], a.get("strides", [1, 1]),
                        a.get("pads", [0, 0, 0, 0]), a.get("dilations", [1, 1]), 0.0)
        acc = 0
        for ky, kx, view in taps:
            if group == 1:
                acc = acc + np.einsum("nchw,oc->nohw", view, w[:, :, ky, kx])
            elif group == x.shape[1] and w.shape[0] == group:
                acc = acc + view * w[:, 0, ky, kx][None, :, None, None]
            else:
                raise ValueError("grouped convolution of %d groups" % group)
        if len(ins) > 2 and ins[2] is not None:
            acc = acc + ins[2][None, :, None, None]
        return acc

    @staticmethod
    def _clip(ins, a):
        low = ins[1] if len(ins) > 1 and ins[1] is not None else a.get("min", -np.inf)
        high = ins[2] if len(ins) > 2 and ins[2] is not None else a.get("max", np.inf)
        return np.clip(ins[0], low, high)

    @staticmethod
    def _add(ins, _):
        return ins[0] + ins[1]

    @staticmethod
    def _pad(ins, a):
        assert a.get("mode", b"constant") in (b"constant", "constant")
        pads = ins[1].astype(int)
        rank = ins[0].ndim
        value = float(ins[2]) if len(ins) > 2 and ins[2] is not None else 0.0
        return np.pad(ins[0], list(zip(pads[:rank], pads[rank:])), constant_values=value)

    @staticmethod
    def _maxpool(ins, a):
        out = None
        for _, _, view in _windows(ins[0], a["kernel_shape"], a.get("strides", [1, 1]),
                                   a.get("pads", [0, 0, 0, 0]), a.get("dilations", [1, 1]),
                                   -np.inf):
            out = view if out is None else np.maximum(out, view)
        return out

    @staticmethod
    def _reshape(ins, _):
        return ins[0].reshape(ins[1].astype(int))

    @staticmethod
    def _sigmoid(ins, _):
        return 1 / (1 + np.exp(-ins[0]))
