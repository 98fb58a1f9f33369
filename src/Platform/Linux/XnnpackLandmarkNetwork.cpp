#include "Platform/Linux/XnnpackLandmarkNetwork.h"

#include "Platform/Linux/OnnxGraph.h"

#include <pthreadpool.h>
#include <xnnpack.h>
#include <QFile>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace {

// The graph's input and the two outputs the detector reads; the rest of the network's heads were
// pruned when the model was converted.
constexpr const char* kLandmarksOutput = "Identity";
constexpr const char* kPresenceOutput = "Identity_1";
constexpr std::uint32_t kInputId = 0;
constexpr std::uint32_t kLandmarksId = 1;
constexpr std::uint32_t kPresenceId = 2;
constexpr std::uint32_t kExternalIds = 3;

constexpr float kUnbounded = std::numeric_limits<float>::infinity();

struct SubgraphDeleter {
    void operator()(xnn_subgraph* subgraph) const { xnn_delete_subgraph(subgraph); }
};

// A tensor flowing between nodes: its XNNPACK value and its shape in ONNX's order (NCHW for
// images); XNNPACK holds the same tensor as NHWC.
struct Flow {
    std::uint32_t id = XNN_INVALID_VALUE_ID;
    std::vector<std::size_t> shape;
};

std::vector<std::size_t> toNhwc(const std::vector<std::size_t>& nchw) {
    if (nchw.size() != 4) {
        return nchw;
    }
    return {nchw[0], nchw[2], nchw[3], nchw[1]};
}

std::size_t elements(const std::vector<std::size_t>& shape) {
    std::size_t count = 1;
    for (const std::size_t dim : shape) {
        count *= dim;
    }
    return count;
}

std::int64_t intAttribute(const OnnxNode& node, std::string_view name, std::int64_t fallback) {
    const OnnxAttribute* attribute = node.attribute(name);
    return attribute != nullptr && attribute->i ? *attribute->i : fallback;
}

std::vector<std::int64_t> intsAttribute(const OnnxNode& node, std::string_view name,
                                        std::vector<std::int64_t> fallback) {
    const OnnxAttribute* attribute = node.attribute(name);
    return attribute != nullptr ? attribute->ints : fallback;
}

// Translates the ONNX graph node by node into an XNNPACK subgraph. The weights are rearranged
// into XNNPACK's layouts in `weights`, which only has to live until the runtime is created: the
// runtime packs the convolution weights into its own buffers then, and no other operator of
// this graph reads a constant while running.
class GraphBuilder {
public:
    GraphBuilder(const OnnxGraph& graph, xnn_subgraph* subgraph)
        : graph_(graph), subgraph_(subgraph) {
        std::size_t floats = 0;
        for (const OnnxTensor& tensor : graph.initializers) {
            if (tensor.type == OnnxTensor::Type::Float) {
                floats += tensor.elementCount();
            }
        }
        // One block, reserved up front, so that pointers into it stay put while it fills.
        weights_.reserve(floats);
    }

    bool build() {
        if (graph_.inputs.size() != 1 || !defineInput(graph_.inputs.front())) {
            return false;
        }
        for (const OnnxNode& node : graph_.nodes) {
            if (!node.domain.empty() && node.domain != "ai.onnx") {
                return false;
            }
            if (!translate(node)) {
                return false;
            }
        }
        // The runtime writes the outputs into buffers of exactly these sizes.
        const auto landmarks = flows_.find(kLandmarksOutput);
        const auto presence = flows_.find(kPresenceOutput);
        return landmarks != flows_.end() && presence != flows_.end() &&
               elements(landmarks->second.shape) ==
                   std::size_t(PoseLandmarks::kCount * PoseLandmarks::kValuesPerLandmark) &&
               elements(presence->second.shape) == 1;
    }

private:
    bool defineInput(const OnnxValueInfo& input) {
        const std::vector<std::size_t> shape = {1, 3, PoseLandmarkNetwork::kInputSize,
                                                PoseLandmarkNetwork::kInputSize};
        if (input.dims != std::vector<std::int64_t>(shape.begin(), shape.end())) {
            return false;
        }
        // The canvas's bytes go in as they are, and the network's first step scales them to
        // 0…1: a quarter of the input memory, and no conversion loop of our own.
        const std::vector<std::size_t> dims = toNhwc(shape);
        std::uint32_t bytes = 0;
        std::uint32_t id = 0;
        if (xnn_define_quantized_tensor_value(
                subgraph_, xnn_datatype_quint8, 0, 1.0F / 255.0F, dims.size(), dims.data(), nullptr,
                kInputId, XNN_VALUE_FLAG_EXTERNAL_INPUT, &bytes) != xnn_status_success ||
            xnn_define_tensor_value(subgraph_, xnn_datatype_fp32, dims.size(), dims.data(), nullptr,
                                    XNN_INVALID_VALUE_ID, 0, &id) != xnn_status_success ||
            xnn_define_convert(subgraph_, bytes, id, 0) != xnn_status_success) {
            return false;
        }
        flows_[input.name] = {id, shape};
        return true;
    }

    bool translate(const OnnxNode& node) {
        if (node.outputs.size() != 1 || node.inputs.empty()) {
            return false;
        }
        const auto input = flows_.find(node.inputs[0]);
        if (input == flows_.end()) {
            return false;
        }
        const Flow& x = input->second;
        const std::string& op = node.opType;
        if (op == "Conv") {
            return convolution(node, x);
        }
        if (op == "Clip") {
            return clip(node, x);
        }
        if (op == "Relu") {
            return unary(node, x, [&](std::uint32_t in, std::uint32_t out) {
                return xnn_define_clamp(subgraph_, 0.0F, kUnbounded, in, out, 0);
            });
        }
        if (op == "Sigmoid") {
            return unary(node, x, [&](std::uint32_t in, std::uint32_t out) {
                return xnn_define_sigmoid(subgraph_, in, out, 0);
            });
        }
        if (op == "Add") {
            return add(node, x);
        }
        if (op == "Pad") {
            return pad(node, x);
        }
        if (op == "MaxPool") {
            return maxPool(node, x);
        }
        if (op == "Reshape") {
            return reshape(node, x);
        }
        return false;
    }

    // Defines the node's output, external if it is one of the outputs the detector reads.
    std::optional<std::uint32_t> defineOutput(const OnnxNode& node,
                                              const std::vector<std::size_t>& shape) {
        std::uint32_t external = XNN_INVALID_VALUE_ID;
        std::uint32_t flags = 0;
        if (node.outputs[0] == kLandmarksOutput || node.outputs[0] == kPresenceOutput) {
            external = node.outputs[0] == kLandmarksOutput ? kLandmarksId : kPresenceId;
            flags = XNN_VALUE_FLAG_EXTERNAL_OUTPUT;
        }
        const std::vector<std::size_t> dims = toNhwc(shape);
        std::uint32_t id = 0;
        if (xnn_define_tensor_value(subgraph_, xnn_datatype_fp32, dims.size(), dims.data(), nullptr,
                                    external, flags, &id) != xnn_status_success) {
            return std::nullopt;
        }
        flows_[node.outputs[0]] = {id, shape};
        return id;
    }

    std::optional<std::uint32_t> defineWeights(const std::vector<std::size_t>& dims,
                                               const float* values, std::size_t count) {
        const std::size_t start = weights_.size();
        if (start + count > weights_.capacity()) {
            return std::nullopt;
        }
        weights_.insert(weights_.end(), values, values + count);
        std::uint32_t id = 0;
        if (xnn_define_tensor_value(subgraph_, xnn_datatype_fp32, dims.size(), dims.data(),
                                    weights_.data() + start, XNN_INVALID_VALUE_ID, 0,
                                    &id) != xnn_status_success) {
            return std::nullopt;
        }
        return id;
    }

    template <typename Define>
    bool unary(const OnnxNode& node, const Flow& x, Define define) {
        const std::optional<std::uint32_t> out = defineOutput(node, x.shape);
        return out && define(x.id, *out) == xnn_status_success;
    }

    // pads in ONNX order (top, left, bottom, right); false unless the node is a plain 2-D window.
    static bool window(const OnnxNode& node, std::vector<std::int64_t>& kernel,
                       std::vector<std::int64_t>& strides, std::vector<std::int64_t>& pads,
                       std::vector<std::int64_t>& dilations) {
        const OnnxAttribute* autoPad = node.attribute("auto_pad");
        if (autoPad != nullptr && autoPad->s != "NOTSET") {
            return false;
        }
        kernel = intsAttribute(node, "kernel_shape", {});
        strides = intsAttribute(node, "strides", {1, 1});
        pads = intsAttribute(node, "pads", {0, 0, 0, 0});
        dilations = intsAttribute(node, "dilations", {1, 1});
        const auto positive = [](const std::vector<std::int64_t>& values, std::size_t size) {
            if (values.size() != size) {
                return false;
            }
            for (const std::int64_t value : values) {
                if (value < 1 || value > 1024) {
                    return false;
                }
            }
            return true;
        };
        const bool padsValid =
            pads.size() == 4 && pads[0] >= 0 && pads[1] >= 0 && pads[2] >= 0 && pads[3] >= 0;
        return positive(kernel, 2) && positive(strides, 2) && positive(dilations, 2) && padsValid;
    }

    static std::optional<std::size_t> windowOutput(std::size_t size, std::int64_t before,
                                                   std::int64_t after, std::int64_t kernel,
                                                   std::int64_t stride, std::int64_t dilation) {
        const std::int64_t span = dilation * (kernel - 1) + 1;
        const std::int64_t padded = std::int64_t(size) + before + after;
        if (padded < span) {
            return std::nullopt;
        }
        return std::size_t((padded - span) / stride + 1);
    }

    bool convolution(const OnnxNode& node, const Flow& x) {
        std::vector<std::int64_t> kernel, strides, pads, dilations;
        if (x.shape.size() != 4 || node.inputs.size() < 2 ||
            !window(node, kernel, strides, pads, dilations)) {
            return false;
        }
        const OnnxTensor* filter = graph_.initializer(node.inputs[1]);
        const OnnxTensor* bias = node.inputs.size() > 2 && !node.inputs[2].empty()
                                     ? graph_.initializer(node.inputs[2])
                                     : nullptr;
        if (filter == nullptr ||
            (node.inputs.size() > 2 && !node.inputs[2].empty() && bias == nullptr)) {
            return false;
        }
        const std::optional<std::vector<float>> filterValues = filter->floats();
        if (!filterValues || filter->dims.size() != 4 || filter->dims[2] != kernel[0] ||
            filter->dims[3] != kernel[1]) {
            return false;
        }
        const auto groups = std::size_t(intAttribute(node, "group", 1));
        const auto outputs = std::size_t(filter->dims[0]);
        const auto groupInputs = std::size_t(filter->dims[1]);
        const std::size_t channels = x.shape[1];
        if (groups == 0 || groupInputs * groups != channels || outputs % groups != 0) {
            return false;
        }
        const auto kh = std::size_t(kernel[0]);
        const auto kw = std::size_t(kernel[1]);
        // OIHW → OHWI, each group's filters after the previous group's.
        std::vector<float> ohwi(filterValues->size());
        for (std::size_t o = 0; o < outputs; ++o) {
            for (std::size_t i = 0; i < groupInputs; ++i) {
                for (std::size_t y = 0; y < kh; ++y) {
                    for (std::size_t xx = 0; xx < kw; ++xx) {
                        ohwi[((o * kh + y) * kw + xx) * groupInputs + i] =
                            (*filterValues)[((o * groupInputs + i) * kh + y) * kw + xx];
                    }
                }
            }
        }
        std::vector<float> biasValues(outputs, 0.0F);
        if (bias != nullptr) {
            std::optional<std::vector<float>> values = bias->floats();
            if (!values || values->size() != outputs) {
                return false;
            }
            biasValues = std::move(*values);
        }
        const std::optional<std::uint32_t> filterId =
            defineWeights({outputs, kh, kw, groupInputs}, ohwi.data(), ohwi.size());
        const std::optional<std::uint32_t> biasId =
            defineWeights({outputs}, biasValues.data(), biasValues.size());
        const std::optional<std::size_t> height =
            windowOutput(x.shape[2], pads[0], pads[2], kernel[0], strides[0], dilations[0]);
        const std::optional<std::size_t> width =
            windowOutput(x.shape[3], pads[1], pads[3], kernel[1], strides[1], dilations[1]);
        if (!filterId || !biasId || !height || !width) {
            return false;
        }
        const std::optional<std::uint32_t> out =
            defineOutput(node, {x.shape[0], outputs, *height, *width});
        return out && xnn_define_convolution_2d(
                          subgraph_, std::uint32_t(pads[0]), std::uint32_t(pads[3]),
                          std::uint32_t(pads[2]), std::uint32_t(pads[1]), std::uint32_t(kh),
                          std::uint32_t(kw), std::uint32_t(strides[0]), std::uint32_t(strides[1]),
                          std::uint32_t(dilations[0]), std::uint32_t(dilations[1]),
                          std::uint32_t(groups), groupInputs, outputs / groups, -kUnbounded,
                          kUnbounded, x.id, *filterId, *biasId, *out, 0) == xnn_status_success;
    }

    // A scalar constant input, or the fallback when the optional input is absent.
    std::optional<float> scalarInput(const OnnxNode& node, std::size_t index, float fallback) {
        if (node.inputs.size() <= index || node.inputs[index].empty()) {
            return fallback;
        }
        const OnnxTensor* tensor = graph_.initializer(node.inputs[index]);
        if (tensor == nullptr) {
            return std::nullopt;
        }
        const std::optional<std::vector<float>> values = tensor->floats();
        if (!values || values->size() != 1) {
            return std::nullopt;
        }
        return values->front();
    }

    // Bounds as inputs (opset 11 on) or, in files written for older readers, as attributes.
    bool clip(const OnnxNode& node, const Flow& x) {
        const OnnxAttribute* minAttribute = node.attribute("min");
        const OnnxAttribute* maxAttribute = node.attribute("max");
        const std::optional<float> low = minAttribute != nullptr && minAttribute->f
                                             ? minAttribute->f
                                             : scalarInput(node, 1, -kUnbounded);
        const std::optional<float> high = maxAttribute != nullptr && maxAttribute->f
                                              ? maxAttribute->f
                                              : scalarInput(node, 2, kUnbounded);
        if (!low || !high || !(*low <= *high)) {
            return false;
        }
        return unary(node, x, [&](std::uint32_t in, std::uint32_t out) {
            return xnn_define_clamp(subgraph_, *low, *high, in, out, 0);
        });
    }

    bool add(const OnnxNode& node, const Flow& x) {
        if (node.inputs.size() != 2) {
            return false;
        }
        const auto other = flows_.find(node.inputs[1]);
        if (other == flows_.end() || other->second.shape != x.shape) {
            return false;
        }
        const std::uint32_t otherId = other->second.id;
        const std::optional<std::uint32_t> out = defineOutput(node, x.shape);
        return out && xnn_define_add2(subgraph_, -kUnbounded, kUnbounded, x.id, otherId, *out, 0) ==
                          xnn_status_success;
    }

    bool pad(const OnnxNode& node, const Flow& x) {
        const OnnxAttribute* mode = node.attribute("mode");
        if ((mode != nullptr && mode->s != "constant") || node.inputs.size() < 2) {
            return false;
        }
        const OnnxTensor* padsTensor = graph_.initializer(node.inputs[1]);
        const std::optional<std::vector<std::int64_t>> pads =
            padsTensor != nullptr ? padsTensor->int64s() : std::nullopt;
        const std::optional<float> value = scalarInput(node, 2, 0.0F);
        const std::size_t rank = x.shape.size();
        if (!pads || pads->size() != 2 * rank || !value) {
            return false;
        }
        std::vector<std::size_t> before(rank), after(rank), shape(rank);
        for (std::size_t axis = 0; axis < rank; ++axis) {
            const std::int64_t first = (*pads)[axis];
            const std::int64_t last = (*pads)[rank + axis];
            if (first < 0 || last < 0 || first > 1024 || last > 1024) {
                return false;
            }
            before[axis] = std::size_t(first);
            after[axis] = std::size_t(last);
            shape[axis] = x.shape[axis] + before[axis] + after[axis];
        }
        const std::vector<std::size_t> preNhwc = toNhwc(before);
        const std::vector<std::size_t> postNhwc = toNhwc(after);
        const std::optional<std::uint32_t> out = defineOutput(node, shape);
        return out && xnn_define_static_constant_pad(subgraph_, preNhwc.data(), postNhwc.data(),
                                                     *value, x.id, *out, 0) == xnn_status_success;
    }

    bool maxPool(const OnnxNode& node, const Flow& x) {
        std::vector<std::int64_t> kernel, strides, pads, dilations;
        if (x.shape.size() != 4 || intAttribute(node, "ceil_mode", 0) != 0 ||
            intAttribute(node, "storage_order", 0) != 0 ||
            !window(node, kernel, strides, pads, dilations)) {
            return false;
        }
        const std::optional<std::size_t> height =
            windowOutput(x.shape[2], pads[0], pads[2], kernel[0], strides[0], dilations[0]);
        const std::optional<std::size_t> width =
            windowOutput(x.shape[3], pads[1], pads[3], kernel[1], strides[1], dilations[1]);
        if (!height || !width) {
            return false;
        }
        const std::optional<std::uint32_t> out =
            defineOutput(node, {x.shape[0], x.shape[1], *height, *width});
        return out &&
               xnn_define_max_pooling_2d(
                   subgraph_, std::uint32_t(pads[0]), std::uint32_t(pads[3]),
                   std::uint32_t(pads[2]), std::uint32_t(pads[1]), std::uint32_t(kernel[0]),
                   std::uint32_t(kernel[1]), std::uint32_t(strides[0]), std::uint32_t(strides[1]),
                   std::uint32_t(dilations[0]), std::uint32_t(dilations[1]), -kUnbounded,
                   kUnbounded, x.id, *out, 0) == xnn_status_success;
    }

    // Only the reshapes that read the elements in the same order in NCHW and NHWC: those of an
    // image whose height and width are both 1, as at the network's heads.
    bool reshape(const OnnxNode& node, const Flow& x) {
        const OnnxTensor* shapeTensor =
            node.inputs.size() == 2 ? graph_.initializer(node.inputs[1]) : nullptr;
        const std::optional<std::vector<std::int64_t>> target =
            shapeTensor != nullptr ? shapeTensor->int64s() : std::nullopt;
        if (!target || target->empty() || target->size() > 4 ||
            (x.shape.size() == 4 && (x.shape[2] != 1 || x.shape[3] != 1))) {
            return false;
        }
        std::vector<std::size_t> shape;
        std::size_t targetCount = 1;
        for (const std::int64_t dim : *target) {
            if (dim < 1) {
                return false;
            }
            shape.push_back(std::size_t(dim));
            targetCount *= std::size_t(dim);
        }
        if (targetCount != elements(x.shape) ||
            (shape.size() == 4 && (shape[2] != 1 || shape[3] != 1))) {
            return false;
        }
        const std::vector<std::size_t> dims = toNhwc(shape);
        const std::optional<std::uint32_t> out = defineOutput(node, shape);
        return out && xnn_define_static_reshape(subgraph_, dims.size(), dims.data(), x.id, *out,
                                                0) == xnn_status_success;
    }

    const OnnxGraph& graph_;
    xnn_subgraph* subgraph_;
    std::map<std::string, Flow, std::less<>> flows_;
    std::vector<float> weights_;
};

}  // namespace

void XnnpackLandmarkNetwork::RuntimeDeleter::operator()(xnn_runtime* runtime) const {
    xnn_delete_runtime(runtime);
}

void XnnpackLandmarkNetwork::PoolDeleter::operator()(pthreadpool* pool) const {
    pthreadpool_destroy(pool);
}

XnnpackLandmarkNetwork::~XnnpackLandmarkNetwork() = default;

std::unique_ptr<XnnpackLandmarkNetwork> XnnpackLandmarkNetwork::create(const std::string& modelPath,
                                                                       int threads) {
    // Counted and idempotent: each successful call is one reference, kept for the process.
    if (xnn_initialize(nullptr) != xnn_status_success) {
        return nullptr;
    }
    QFile file(QString::fromStdString(modelPath));
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return nullptr;
    }
    // Mapped, not read: the file's pages go back to the page cache once the runtime is built.
    const uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr) {
        return nullptr;
    }
    const std::optional<OnnxGraph> graph = OnnxGraph::parse(
        std::span(reinterpret_cast<const std::byte*>(mapped), std::size_t(file.size())));
    if (!graph) {
        return nullptr;
    }

    xnn_subgraph* rawSubgraph = nullptr;
    if (xnn_create_subgraph(kExternalIds, 0, &rawSubgraph) != xnn_status_success) {
        return nullptr;
    }
    const std::unique_ptr<xnn_subgraph, SubgraphDeleter> subgraph(rawSubgraph);
    std::unique_ptr<XnnpackLandmarkNetwork> network(new XnnpackLandmarkNetwork);
    if (threads > 1) {
        network->pool_.reset(pthreadpool_create(std::size_t(threads)));
    }
    {
        GraphBuilder builder(*graph, subgraph.get());
        if (!builder.build()) {
            return nullptr;
        }
        xnn_runtime* runtime = nullptr;
        if (xnn_create_runtime_v2(subgraph.get(), network->pool_.get(), 0, &runtime) !=
            xnn_status_success) {
            return nullptr;
        }
        network->runtime_.reset(runtime);
    }  // the builder and its rearranged weights end here: the runtime packed its own copy

    network->input_.assign(std::size_t(kInputSize) * kInputSize * 3 + XNN_EXTRA_BYTES, 0);
    network->landmarks_.assign(PoseLandmarks::kCount * PoseLandmarks::kValuesPerLandmark, 0.0F);
    network->presence_.assign(1, 0.0F);
    const xnn_external_value external[] = {
        {kInputId, network->input_.data()},
        {kLandmarksId, network->landmarks_.data()},
        {kPresenceId, network->presence_.data()},
    };
    if (xnn_setup_runtime(network->runtime_.get(), std::size(external), external) !=
        xnn_status_success) {
        return nullptr;
    }
    return network;
}

std::optional<PoseLandmarks> XnnpackLandmarkNetwork::run(const PoseCanvas& canvas) {
    if (canvas.side != kInputSize || !canvas.isValid()) {
        return std::nullopt;
    }
    // The canvas is already NHWC.
    std::memcpy(input_.data(), canvas.pixels.data(), canvas.pixels.size());
    if (xnn_invoke_runtime(runtime_.get()) != xnn_status_success) {
        return std::nullopt;
    }
    PoseLandmarks result;
    std::memcpy(result.values.data(), landmarks_.data(), sizeof(result.values));
    result.personPresent = presence_.front();
    return result;
}
