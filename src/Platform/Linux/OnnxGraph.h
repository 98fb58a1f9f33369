#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The parts of an ONNX model file that a plain feed-forward network needs: its nodes in order,
// its constant tensors and the shapes of its inputs. Read straight from the protobuf wire format;
// tensors point into the file's bytes, which must outlive the graph.
struct OnnxTensor {
    // TensorProto data types this reader understands.
    enum class Type { Other, Float = 1, Int64 = 7 };

    std::string name;
    std::vector<std::int64_t> dims;
    Type type = Type::Other;
    // Little-endian elements as stored, either in raw_data or in the packed typed field.
    std::span<const std::byte> data;

    std::size_t elementCount() const;
    // The elements, or none when the type differs or the data does not match the dims.
    std::optional<std::vector<float>> floats() const;
    std::optional<std::vector<std::int64_t>> int64s() const;
};

struct OnnxAttribute {
    std::string name;
    std::optional<float> f;
    std::optional<std::int64_t> i;
    std::string s;
    std::vector<std::int64_t> ints;
};

struct OnnxNode {
    std::string opType;
    std::string domain;
    std::vector<std::string> inputs;  // an empty name is an absent optional input
    std::vector<std::string> outputs;
    std::vector<OnnxAttribute> attributes;

    const OnnxAttribute* attribute(std::string_view name) const;
};

struct OnnxValueInfo {
    std::string name;
    std::vector<std::int64_t> dims;  // a symbolic dimension reads -1
};

struct OnnxGraph {
    std::int64_t opsetVersion = 0;  // of the default ("ai.onnx") domain
    std::vector<OnnxNode> nodes;
    std::vector<OnnxTensor> initializers;
    std::vector<OnnxValueInfo> inputs;
    std::vector<OnnxValueInfo> outputs;

    const OnnxTensor* initializer(std::string_view name) const;

    // None when the bytes are not a well-formed ONNX model with a graph.
    static std::optional<OnnxGraph> parse(std::span<const std::byte> model);
};
