#include "Platform/Linux/OnnxGraph.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "tensor data is read in place as little-endian");

namespace {

enum class WireType { Varint = 0, Fixed64 = 1, Bytes = 2, Fixed32 = 5 };

// One protobuf message's fields in turn. A malformed field stops the walk and marks the reader
// failed, so no caller acts on half-read data unknowingly.
class WireReader {
public:
    explicit WireReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }

    // Moves to the next field; false at the end of the message or on damage.
    bool next() {
        if (failed_ || position_ == bytes_.size()) {
            return false;
        }
        const std::optional<std::uint64_t> key = varint();
        if (!key || (*key >> 3) == 0 || (*key >> 3) > UINT32_MAX) {
            return fail();
        }
        field_ = std::uint32_t(*key >> 3);
        const auto type = std::uint32_t(*key & 7);
        scalar_ = 0;
        payload_ = {};
        switch (type) {
            case std::uint32_t(WireType::Varint): {
                const std::optional<std::uint64_t> value = varint();
                if (!value) {
                    return fail();
                }
                scalar_ = *value;
                break;
            }
            case std::uint32_t(WireType::Fixed64):
                if (!take(8)) {
                    return false;
                }
                std::memcpy(&scalar_, payload_.data(), 8);
                break;
            case std::uint32_t(WireType::Fixed32): {
                if (!take(4)) {
                    return false;
                }
                std::uint32_t value = 0;
                std::memcpy(&value, payload_.data(), 4);
                scalar_ = value;
                break;
            }
            case std::uint32_t(WireType::Bytes): {
                const std::optional<std::uint64_t> length = varint();
                if (!length || !take(*length)) {
                    return fail();
                }
                break;
            }
            default:  // groups are not used by ONNX
                return fail();
        }
        type_ = WireType(type);
        return true;
    }

    std::uint32_t field() const { return field_; }
    WireType type() const { return type_; }
    std::uint64_t scalar() const { return scalar_; }
    std::span<const std::byte> payload() const { return payload_; }
    std::string text() const {
        return std::string(reinterpret_cast<const char*>(payload_.data()), payload_.size());
    }
    float fixed32Float() const {
        const auto bits = std::uint32_t(scalar_);
        return std::bit_cast<float>(bits);
    }

    // A repeated varint field, packed or one value per field; false on damage.
    bool appendVarints(std::vector<std::int64_t>& out) const {
        if (type_ == WireType::Varint) {
            out.push_back(std::int64_t(scalar_));
            return true;
        }
        if (type_ != WireType::Bytes) {
            return false;
        }
        WireReader packed(payload_);
        while (packed.position_ < packed.bytes_.size()) {
            const std::optional<std::uint64_t> value = packed.varint();
            if (!value) {
                return false;
            }
            out.push_back(std::int64_t(*value));
        }
        return true;
    }

private:
    std::optional<std::uint64_t> varint() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (position_ == bytes_.size()) {
                return std::nullopt;
            }
            const auto byte = std::uint8_t(bytes_[position_++]);
            value |= std::uint64_t(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }

    bool take(std::uint64_t length) {
        if (length > bytes_.size() - position_) {
            return fail();
        }
        payload_ = bytes_.subspan(position_, std::size_t(length));
        position_ += std::size_t(length);
        return true;
    }

    bool fail() {
        failed_ = true;
        return false;
    }

    std::span<const std::byte> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
    std::uint32_t field_ = 0;
    WireType type_ = WireType::Varint;
    std::uint64_t scalar_ = 0;
    std::span<const std::byte> payload_;
};

bool isBytes(const WireReader& reader) {
    return reader.type() == WireType::Bytes;
}

std::optional<OnnxTensor> parseTensor(std::span<const std::byte> bytes) {
    OnnxTensor tensor;
    WireReader reader(bytes);
    std::span<const std::byte> raw;
    std::span<const std::byte> typed;
    while (reader.next()) {
        switch (reader.field()) {
            case 1:  // dims
                if (!reader.appendVarints(tensor.dims)) {
                    return std::nullopt;
                }
                break;
            case 2:  // data_type
                tensor.type = (reader.scalar() == 1 || reader.scalar() == 7)
                                  ? OnnxTensor::Type(reader.scalar())
                                  : OnnxTensor::Type::Other;
                break;
            case 4:  // float_data, packed
                if (isBytes(reader)) {
                    typed = reader.payload();
                }
                break;
            case 8:
                tensor.name = reader.text();
                break;
            case 9:
                raw = reader.payload();
                break;
            case 14:  // data_location: EXTERNAL data lives in another file
                if (reader.scalar() != 0) {
                    return std::nullopt;
                }
                break;
            default:
                break;
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    // int64_data is varint-encoded and so cannot be viewed in place; 64-bit integers are read
    // from raw_data only, which is how exporters write constant shapes and pads.
    tensor.data = !raw.empty() || tensor.type == OnnxTensor::Type::Int64 ? raw : typed;
    return tensor;
}

std::optional<OnnxAttribute> parseAttribute(std::span<const std::byte> bytes) {
    OnnxAttribute attribute;
    WireReader reader(bytes);
    while (reader.next()) {
        switch (reader.field()) {
            case 1:
                attribute.name = reader.text();
                break;
            case 2:
                if (reader.type() == WireType::Fixed32) {
                    attribute.f = reader.fixed32Float();
                }
                break;
            case 3:
                attribute.i = std::int64_t(reader.scalar());
                break;
            case 4:
                attribute.s = reader.text();
                break;
            case 8:
                if (!reader.appendVarints(attribute.ints)) {
                    return std::nullopt;
                }
                break;
            default:
                break;
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return attribute;
}

std::optional<OnnxNode> parseNode(std::span<const std::byte> bytes) {
    OnnxNode node;
    WireReader reader(bytes);
    while (reader.next()) {
        switch (reader.field()) {
            case 1:
                node.inputs.push_back(reader.text());
                break;
            case 2:
                node.outputs.push_back(reader.text());
                break;
            case 4:
                node.opType = reader.text();
                break;
            case 5: {
                std::optional<OnnxAttribute> attribute = parseAttribute(reader.payload());
                if (!attribute) {
                    return std::nullopt;
                }
                node.attributes.push_back(std::move(*attribute));
                break;
            }
            case 7:
                node.domain = reader.text();
                break;
            default:
                break;
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return node;
}

// ValueInfoProto → TypeProto → TypeProto.Tensor → TensorShapeProto → Dimension.
std::optional<OnnxValueInfo> parseValueInfo(std::span<const std::byte> bytes) {
    OnnxValueInfo info;
    const auto submessage = [](std::span<const std::byte> message, std::uint32_t field, bool& ok) {
        WireReader reader(message);
        std::span<const std::byte> found;
        while (reader.next()) {
            if (reader.field() == field && isBytes(reader)) {
                found = reader.payload();
            }
        }
        ok = ok && !reader.failed();
        return found;
    };
    bool ok = true;
    WireReader reader(bytes);
    std::span<const std::byte> type;
    while (reader.next()) {
        if (reader.field() == 1) {
            info.name = reader.text();
        } else if (reader.field() == 2 && isBytes(reader)) {
            type = reader.payload();
        }
    }
    ok = !reader.failed();
    const std::span<const std::byte> shape = submessage(submessage(type, 1, ok), 2, ok);
    WireReader dims(shape);
    while (dims.next()) {
        if (dims.field() != 1 || !isBytes(dims)) {
            continue;
        }
        std::int64_t value = -1;
        WireReader dimension(dims.payload());
        while (dimension.next()) {
            if (dimension.field() == 1 && dimension.type() == WireType::Varint) {
                value = std::int64_t(dimension.scalar());
            }
        }
        ok = ok && !dimension.failed();
        info.dims.push_back(value);
    }
    if (!ok || dims.failed()) {
        return std::nullopt;
    }
    return info;
}

bool parseGraph(std::span<const std::byte> bytes, OnnxGraph& graph) {
    WireReader reader(bytes);
    while (reader.next()) {
        if (!isBytes(reader)) {
            continue;
        }
        switch (reader.field()) {
            case 1: {
                std::optional<OnnxNode> node = parseNode(reader.payload());
                if (!node) {
                    return false;
                }
                graph.nodes.push_back(std::move(*node));
                break;
            }
            case 5: {
                std::optional<OnnxTensor> tensor = parseTensor(reader.payload());
                if (!tensor) {
                    return false;
                }
                graph.initializers.push_back(std::move(*tensor));
                break;
            }
            case 11:
            case 12: {
                std::optional<OnnxValueInfo> info = parseValueInfo(reader.payload());
                if (!info) {
                    return false;
                }
                (reader.field() == 11 ? graph.inputs : graph.outputs).push_back(std::move(*info));
                break;
            }
            default:
                break;
        }
    }
    return !reader.failed();
}

}  // namespace

std::size_t OnnxTensor::elementCount() const {
    std::size_t count = 1;
    for (const std::int64_t dim : dims) {
        if (dim < 0) {
            return 0;
        }
        count *= std::size_t(dim);
    }
    return count;
}

std::optional<std::vector<float>> OnnxTensor::floats() const {
    if (type != Type::Float || data.size() != elementCount() * sizeof(float)) {
        return std::nullopt;
    }
    std::vector<float> values(elementCount());
    std::memcpy(values.data(), data.data(), data.size());
    return values;
}

std::optional<std::vector<std::int64_t>> OnnxTensor::int64s() const {
    if (type != Type::Int64 || data.size() != elementCount() * sizeof(std::int64_t)) {
        return std::nullopt;
    }
    std::vector<std::int64_t> values(elementCount());
    std::memcpy(values.data(), data.data(), data.size());
    return values;
}

const OnnxAttribute* OnnxNode::attribute(std::string_view name) const {
    for (const OnnxAttribute& candidate : attributes) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

const OnnxTensor* OnnxGraph::initializer(std::string_view name) const {
    for (const OnnxTensor& candidate : initializers) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::optional<OnnxGraph> OnnxGraph::parse(std::span<const std::byte> model) {
    OnnxGraph graph;
    bool hasGraph = false;
    WireReader reader(model);
    while (reader.next()) {
        if (reader.field() == 7 && isBytes(reader)) {
            if (!parseGraph(reader.payload(), graph)) {
                return std::nullopt;
            }
            hasGraph = true;
        } else if (reader.field() == 8 && isBytes(reader)) {  // opset_import
            std::string domain;
            std::int64_t version = 0;
            WireReader opset(reader.payload());
            while (opset.next()) {
                if (opset.field() == 1) {
                    domain = opset.text();
                } else if (opset.field() == 2) {
                    version = std::int64_t(opset.scalar());
                }
            }
            if (opset.failed()) {
                return std::nullopt;
            }
            if (domain.empty() || domain == "ai.onnx") {
                graph.opsetVersion = version;
            }
        }
    }
    if (reader.failed() || !hasGraph) {
        return std::nullopt;
    }
    return graph;
}
