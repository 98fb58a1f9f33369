#pragma once

#include "Platform/Linux/PoseLandmarkNetwork.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct xnn_runtime;
struct pthreadpool;

// The landmark network on XNNPACK: the ONNX model's weights are read once into an XNNPACK
// runtime, which keeps them packed for its own kernels and works in NHWC, the canvas's own
// order. Only the operators the BlazePose landmark graph uses are understood.
// What it holds while loaded, as counted through XNNPACK's allocator: the packed weights
// (5.1 MiB), the activations' workspace, which XNNPACK plans to reuse between layers (3.5 MiB),
// and the buffers set up for the fixed input size (2.0 MiB). Folding the graph's zero Pads into
// the convolutions here changed none of these, and leaving its clamps out changed the time only
// within noise: XNNPACK already fuses both.
class XnnpackLandmarkNetwork final : public PoseLandmarkNetwork {
public:
    // None when the model cannot be read, uses an operator this engine does not know, or does
    // not have the landmark network's input and outputs. threads > 1 runs on a pool of that
    // many threads; otherwise everything runs on the caller's thread.
    static std::unique_ptr<XnnpackLandmarkNetwork> create(const std::string& modelPath,
                                                          int threads);
    ~XnnpackLandmarkNetwork() override;

    std::optional<PoseLandmarks> run(const PoseCanvas& canvas) override;

private:
    struct RuntimeDeleter {
        void operator()(xnn_runtime* runtime) const;
    };
    struct PoolDeleter {
        void operator()(pthreadpool* pool) const;
    };

    XnnpackLandmarkNetwork() = default;

    std::unique_ptr<pthreadpool, PoolDeleter> pool_;
    std::unique_ptr<xnn_runtime, RuntimeDeleter> runtime_;
    // Bound to the runtime once; XNNPACK may read a few bytes past the input's end.
    std::vector<std::uint8_t> input_;
    std::vector<float> landmarks_;
    std::vector<float> presence_;
};
