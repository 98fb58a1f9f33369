#!/usr/bin/python3
"""Converts the BlazePose landmark network from TFLite to an ONNX file of opset 11.

Standard library only, so it runs on a stock Debian python3. The output is deterministic:
the same .tflite always gives the same bytes.

    tools/tflite-to-onnx.py pose_landmark_lite.tflite data/pose_landmark_lite.onnx

TFLite tensors are NHWC; the ONNX graph is NCHW with input "input" [1,3,256,256] (RGB in
[0,1]), as ONNX readers expect. Only the landmark and person-present
outputs are kept; the nodes that only feed the dropped outputs are pruned.
"""

import argparse
import math
import struct
import sys

# --------------------------------------------------------------------------------------------
# TFLite flatbuffer reading


class Table:
    """A flatbuffer table: fields are looked up through its vtable."""

    def __init__(self, buf, pos):
        self.buf = buf
        self.pos = pos
        vtable = pos - struct.unpack_from("<i", buf, pos)[0]
        self.vtable_size = struct.unpack_from("<H", buf, vtable)[0]
        self.vtable = vtable

    def _field(self, index):
        entry = 4 + 2 * index
        if entry >= self.vtable_size:
            return None
        offset = struct.unpack_from("<H", self.buf, self.vtable + entry)[0]
        return self.pos + offset if offset else None

    def scalar(self, index, fmt, default=0):
        at = self._field(index)
        return default if at is None else struct.unpack_from("<" + fmt, self.buf, at)[0]

    def _indirect(self, at):
        return at + struct.unpack_from("<I", self.buf, at)[0]

    def table(self, index):
        at = self._field(index)
        return None if at is None else Table(self.buf, self._indirect(at))

    def _vector(self, index):
        at = self._field(index)
        if at is None:
            return None, 0
        start = self._indirect(at)
        return start + 4, struct.unpack_from("<I", self.buf, start)[0]

    def scalars(self, index, fmt):
        start, count = self._vector(index)
        if start is None:
            return []
        return list(struct.unpack_from("<%d%s" % (count, fmt), self.buf, start))

    def bytes(self, index):
        start, count = self._vector(index)
        return b"" if start is None else bytes(self.buf[start:start + count])

    def string(self, index):
        return self.bytes(index).decode("utf-8")

    def tables(self, index):
        start, count = self._vector(index)
        if start is None:
            return []
        return [Table(self.buf, self._indirect(start + 4 * i)) for i in range(count)]


# BuiltinOperator codes of the operators this network uses.
OP_NAMES = {0: "ADD", 3: "CONV_2D", 4: "DEPTHWISE_CONV_2D", 6: "DEQUANTIZE", 14: "LOGISTIC",
            17: "MAX_POOL_2D", 22: "RESHAPE", 23: "RESIZE_BILINEAR", 34: "PAD"}
TENSOR_FLOAT32, TENSOR_FLOAT16, TENSOR_INT32, TENSOR_INT64 = 0, 1, 2, 4
ACTIVATIONS = {0: None, 1: "RELU", 2: "RELU_N1_TO_1", 3: "RELU6", 4: "TANH"}


class Tensor:
    def __init__(self, index, table, buffers):
        self.index = index
        self.shape = table.scalars(0, "i")
        self.type = table.scalar(1, "B")
        self.name = table.string(3)
        buffer = buffers[table.scalar(2, "I")]
        self.data = buffer.bytes(0) if buffer is not None else b""

    def values(self):
        """The constant's elements as Python numbers, in TFLite (row-major NHWC) order."""
        count = math.prod(self.shape) if self.shape else 1
        fmt = {TENSOR_FLOAT32: "f", TENSOR_FLOAT16: "e", TENSOR_INT32: "i",
               TENSOR_INT64: "q"}[self.type]
        return list(struct.unpack_from("<%d%s" % (count, fmt), self.data))


class Operator:
    def __init__(self, table, opcodes):
        code = opcodes[table.scalar(0, "I")]
        if code not in OP_NAMES:
            raise ValueError("unsupported TFLite operator code %d" % code)
        self.kind = OP_NAMES[code]
        self.inputs = table.scalars(1, "i")
        self.outputs = table.scalars(2, "i")
        self.options = table.table(4)

    def option(self, index, fmt, default=0):
        return default if self.options is None else self.options.scalar(index, fmt, default)


class Model:
    """The first subgraph of a .tflite file, as tensors and operators."""

    def __init__(self, data):
        root = Table(data, struct.unpack_from("<I", data, 0)[0])
        opcodes = []
        for code in root.tables(1):
            # Newer files keep codes above 127 in builtin_code; small ones stay in the old byte.
            opcodes.append(max(code.scalar(0, "b"), code.scalar(3, "i")))
        buffers = root.tables(4)
        graph = root.tables(2)[0]
        self.tensors = [Tensor(i, t, buffers) for i, t in enumerate(graph.tables(0))]
        self.inputs = graph.scalars(1, "i")
        self.outputs = graph.scalars(2, "i")
        self.operators = [Operator(t, opcodes) for t in graph.tables(3)]


def same_padding(size, kernel, stride, dilation=1):
    """TensorFlow's SAME padding: the odd pixel goes after."""
    out = (size + stride - 1) // stride
    total = max((out - 1) * stride + (kernel - 1) * dilation + 1 - size, 0)
    return total // 2, total - total // 2


# --------------------------------------------------------------------------------------------
# Protobuf writing: only the wire types ONNX needs.


def varint(value):
    if value < 0:
        value += 1 << 64
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def field_varint(number, value):
    return varint(number << 3) + varint(value)


def field_bytes(number, payload):
    if isinstance(payload, str):
        payload = payload.encode("utf-8")
    return varint((number << 3) | 2) + varint(len(payload)) + payload


def field_float(number, value):
    return varint((number << 3) | 5) + struct.pack("<f", value)


ONNX_FLOAT, ONNX_INT64 = 1, 7


def tensor_proto(name, dims, onnx_type, values):
    fmt = {ONNX_FLOAT: "f", ONNX_INT64: "q"}[onnx_type]
    out = b"".join(field_varint(1, d) for d in dims)
    out += field_varint(2, onnx_type)
    out += field_bytes(8, name)
    out += field_bytes(9, struct.pack("<%d%s" % (len(values), fmt), *values))
    return out


def attribute(name, value):
    out = field_bytes(1, name)
    if isinstance(value, float):
        return out + field_float(2, value) + field_varint(20, 1)
    if isinstance(value, int):
        return out + field_varint(3, value) + field_varint(20, 2)
    if isinstance(value, str):
        return out + field_bytes(4, value) + field_varint(20, 3)
    return out + b"".join(field_varint(8, v) for v in value) + field_varint(20, 7)


def value_info(name, dims):
    shape = b"".join(field_bytes(1, field_varint(1, d)) for d in dims)
    tensor_type = field_varint(1, ONNX_FLOAT) + field_bytes(2, shape)
    return field_bytes(1, name) + field_bytes(2, field_bytes(1, tensor_type))


# --------------------------------------------------------------------------------------------
# Graph translation


def nchw(shape):
    return [shape[0], shape[3], shape[1], shape[2]] if len(shape) == 4 else list(shape)


class Converter:
    def __init__(self, model, kept_outputs):
        self.model = model
        self.nodes = []
        self.initializers = []
        self.constants = {}  # tensor index -> (float values, TFLite shape) known at conversion
        self.names = {}  # tensor index -> ONNX value name
        self.kept_outputs = kept_outputs
        self.fresh = 0
        self.scalars = {}

    def tensor(self, index):
        return self.model.tensors[index]

    def name(self, index):
        return self.names.get(index, self.tensor(index).name)

    def unique(self, stem):
        self.fresh += 1
        return "%s__%d" % (stem, self.fresh)

    def constant(self, index):
        if index in self.constants:
            return self.constants[index]
        t = self.tensor(index)
        if not t.data:
            return None
        return t.values(), t.shape

    def scalar(self, value):
        """One shared float initializer per constant, for operator bounds."""
        name = "scalar_%g" % value
        if name not in self.scalars:
            self.scalars[name] = self.add_initializer(name, [], [value])
        return name

    def add_initializer(self, name, dims, values, onnx_type=ONNX_FLOAT):
        self.initializers.append(tensor_proto(name, dims, onnx_type, values))
        return name

    def node(self, op, inputs, outputs, **attrs):
        body = b"".join(field_bytes(1, i) for i in inputs)
        body += b"".join(field_bytes(2, o) for o in outputs)
        body += field_bytes(3, outputs[0])
        body += field_bytes(4, op)
        for key in sorted(attrs):
            body += field_bytes(5, attribute(key, attrs[key]))
        self.nodes.append(body)

    def activation(self, code, value, output):
        """Emits the fused activation; returns the name the result is under."""
        kind = ACTIVATIONS.get(code, "unknown")
        if kind is None:
            return value
        if kind == "RELU":
            self.node("Relu", [value], [output])
        elif kind in ("RELU6", "RELU_N1_TO_1"):
            # Since opset 11 Clip takes its bounds as inputs; attributes are the opset-6 form.
            low, high = (0.0, 6.0) if kind == "RELU6" else (-1.0, 1.0)
            self.node("Clip", [value, self.scalar(low), self.scalar(high)], [output])
        elif kind == "TANH":
            self.node("Tanh", [value], [output])
        else:
            raise ValueError("unsupported fused activation %d" % code)
        return output

    def result(self, op, fused):
        """Name for an operator's own output, and the name its activation (if any) writes."""
        out = self.tensor(op.outputs[0]).name
        if ACTIVATIONS.get(fused) is None:
            return out, out
        return out + "__linear", out

    def needed_operators(self):
        producer = {}
        for i, op in enumerate(self.model.operators):
            for o in op.outputs:
                producer[o] = i
        needed = set()
        stack = list(self.kept_outputs)
        while stack:
            t = stack.pop()
            if t in producer and producer[t] not in needed:
                needed.add(producer[t])
                stack.extend(i for i in self.model.operators[producer[t]].inputs if i >= 0)
        # TFLite keeps operators in execution order, which is topological.
        return [op for i, op in enumerate(self.model.operators) if i in needed]

    def convert(self):
        for op in self.needed_operators():
            getattr(self, "op_" + op.kind.lower())(op)

    # --- operators -------------------------------------------------------------------------

    def op_dequantize(self, op):
        src = self.tensor(op.inputs[0])
        self.constants[op.outputs[0]] = (src.values(), src.shape)

    def conv_common(self, op, weights_name, group, kernel, stride, dilation, padding, fused):
        x = self.tensor(op.inputs[0])
        _, h, w, _ = x.shape
        if padding == 0:  # SAME
            top, bottom = same_padding(h, kernel[0], stride[0], dilation[0])
            left, right = same_padding(w, kernel[1], stride[1], dilation[1])
        else:
            top = bottom = left = right = 0
        inputs = [self.name(op.inputs[0]), weights_name]
        if len(op.inputs) > 2 and op.inputs[2] >= 0:
            values, shape = self.constant(op.inputs[2])
            inputs.append(self.add_initializer(self.unique(self.tensor(op.outputs[0]).name
                                                           + "_bias"), shape, values))
        linear, out = self.result(op, fused)
        self.node("Conv", inputs, [linear], dilations=list(dilation), group=group,
                  kernel_shape=list(kernel), pads=[top, left, bottom, right],
                  strides=list(stride))
        self.activation(fused, linear, out)

    def op_conv_2d(self, op):
        values, (o, kh, kw, i) = self.constant(op.inputs[1])
        # OHWI -> OIHW
        oihw = [values[((a * kh + y) * kw + x) * i + c]
                for a in range(o) for c in range(i) for y in range(kh) for x in range(kw)]
        name = self.add_initializer(self.unique(self.tensor(op.outputs[0]).name + "_weights"),
                                    [o, i, kh, kw], oihw)
        self.conv_common(op, name, 1, (kh, kw), (op.option(2, "i", 1), op.option(1, "i", 1)),
                         (op.option(5, "i", 1), op.option(4, "i", 1)), op.option(0, "b"),
                         op.option(3, "b"))

    def op_depthwise_conv_2d(self, op):
        values, (_, kh, kw, c) = self.constant(op.inputs[1])
        channels_in = self.tensor(op.inputs[0]).shape[3]
        if c != channels_in:
            raise ValueError("depth multiplier other than 1 is not supported")
        # [1,H,W,C] -> [C,1,H,W]
        chw = [values[(y * kw + x) * c + ch] for ch in range(c) for y in range(kh)
               for x in range(kw)]
        name = self.add_initializer(self.unique(self.tensor(op.outputs[0]).name + "_weights"),
                                    [c, 1, kh, kw], chw)
        self.conv_common(op, name, c, (kh, kw), (op.option(2, "i", 1), op.option(1, "i", 1)),
                         (op.option(6, "i", 1), op.option(5, "i", 1)), op.option(0, "b"),
                         op.option(4, "b"))

    def op_add(self, op):
        fused = op.option(0, "b")
        inputs = []
        for index in op.inputs:
            const = self.constant(index)
            if const is None:
                inputs.append(self.name(index))
            else:
                values, shape = const
                dims = nchw(shape) if len(shape) == 4 else shape
                if len(shape) == 4:
                    n, h, w, c = shape
                    values = [values[((b * h + y) * w + x) * c + ch] for b in range(n)
                              for ch in range(c) for y in range(h) for x in range(w)]
                inputs.append(self.add_initializer(self.unique("add_const"), dims, values))
        linear, out = self.result(op, fused)
        self.node("Add", inputs, [linear])
        self.activation(fused, linear, out)

    def op_max_pool_2d(self, op):
        _, h, w, _ = self.tensor(op.inputs[0]).shape
        stride = (op.option(2, "i", 1), op.option(1, "i", 1))
        kernel = (op.option(4, "i", 1), op.option(3, "i", 1))
        if op.option(0, "b") == 0:
            top, bottom = same_padding(h, kernel[0], stride[0])
            left, right = same_padding(w, kernel[1], stride[1])
        else:
            top = bottom = left = right = 0
        fused = op.option(5, "b")
        linear, out = self.result(op, fused)
        self.node("MaxPool", [self.name(op.inputs[0])], [linear], kernel_shape=list(kernel),
                  pads=[top, left, bottom, right], strides=list(stride))
        self.activation(fused, linear, out)

    def op_pad(self, op):
        values, _ = self.constant(op.inputs[1])  # [[before, after]] per NHWC axis
        pairs = [(values[2 * a], values[2 * a + 1]) for a in range(len(values) // 2)]
        if len(pairs) == 4:
            pairs = [pairs[0], pairs[3], pairs[1], pairs[2]]
        pads = [p[0] for p in pairs] + [p[1] for p in pairs]
        pads_name = self.add_initializer(self.unique("pads"), [len(pads)], pads, ONNX_INT64)
        self.node("Pad", [self.name(op.inputs[0]), pads_name],
                  [self.tensor(op.outputs[0]).name], mode="constant")

    def op_reshape(self, op):
        src = self.tensor(op.inputs[0])
        dst = self.tensor(op.outputs[0])
        value = self.name(op.inputs[0])
        # The stored layout is NCHW; TFLite reshapes NHWC order. Go through NHWC unless the
        # spatial axes are 1, where both orders are the same.
        spatial = len(src.shape) == 4 and (src.shape[1] != 1 or src.shape[2] != 1)
        if spatial:
            nhwc = self.unique(dst.name + "_nhwc")
            self.node("Transpose", [value], [nhwc], perm=[0, 2, 3, 1])
            value = nhwc
        out_spatial = len(dst.shape) == 4 and (dst.shape[1] != 1 or dst.shape[2] != 1)
        target = dst.shape if out_spatial or len(dst.shape) != 4 else nchw(dst.shape)
        shape_name = self.add_initializer(self.unique("shape"), [len(target)], target,
                                          ONNX_INT64)
        if out_spatial:
            reshaped = self.unique(dst.name + "_nhwc")
            self.node("Reshape", [value, shape_name], [reshaped])
            self.node("Transpose", [reshaped], [dst.name], perm=[0, 3, 1, 2])
        else:
            self.node("Reshape", [value, shape_name], [dst.name])

    def op_resize_bilinear(self, op):
        src = self.tensor(op.inputs[0])
        dst = self.tensor(op.outputs[0])
        align = op.option(2, "B")
        half = op.option(3, "B")
        mode = "align_corners" if align else ("half_pixel" if half else "asymmetric")
        scales = [1.0, 1.0, dst.shape[1] / src.shape[1], dst.shape[2] / src.shape[2]]
        roi = self.add_initializer(self.unique("roi"), [0], [])
        scales_name = self.add_initializer(self.unique("scales"), [4], scales)
        self.node("Resize", [self.name(op.inputs[0]), roi, scales_name], [dst.name],
                  coordinate_transformation_mode=mode, mode="linear")

    def op_logistic(self, op):
        self.node("Sigmoid", [self.name(op.inputs[0])], [self.tensor(op.outputs[0]).name])

    # --- model -----------------------------------------------------------------------------

    def model_proto(self):
        graph = b"".join(field_bytes(1, n) for n in self.nodes)
        graph += field_bytes(2, "pose_landmark")
        graph += b"".join(field_bytes(5, i) for i in self.initializers)
        src = self.tensor(self.model.inputs[0])
        graph += field_bytes(11, value_info("input", nchw(src.shape)))
        for index in self.kept_outputs:
            graph += field_bytes(12, value_info(self.tensor(index).name,
                                                nchw(self.tensor(index).shape)))
        model = field_varint(1, 7)  # IR version 7
        model += field_bytes(2, "spindrel tflite-to-onnx")
        model += field_bytes(7, graph)
        model += field_bytes(8, field_bytes(1, "") + field_varint(2, 11))
        return model


def convert(tflite_bytes, output_names):
    model = Model(tflite_bytes)
    by_name = {model.tensors[i].name: i for i in model.outputs}
    missing = [n for n in output_names if n not in by_name]
    if missing:
        raise ValueError("no such outputs: %s (have %s)" % (missing, sorted(by_name)))
    converter = Converter(model, [by_name[n] for n in output_names])
    converter.names[model.inputs[0]] = "input"
    converter.convert()
    return converter.model_proto()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tflite")
    parser.add_argument("onnx")
    parser.add_argument("--outputs", default="Identity,Identity_1",
                        help="comma-separated TFLite outputs to keep")
    args = parser.parse_args()
    with open(args.tflite, "rb") as f:
        data = f.read()
    onnx = convert(data, args.outputs.split(","))
    with open(args.onnx, "wb") as f:
        f.write(onnx)
    return 0


if __name__ == "__main__":
    sys.exit(main())
