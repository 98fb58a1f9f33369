#pragma once

#include <cstdint>
#include <vector>

struct CanvasPlacement;
struct RgbImage;

// The landmark network's square input: 8-bit RGB, rows top to bottom, no padding.
struct PoseCanvas {
    int side = 0;
    std::vector<std::uint8_t> pixels;  // side × side × 3

    bool isValid() const {
        return side > 0 && pixels.size() == std::size_t(side) * std::size_t(side) * 3;
    }
};

// Draws the frame onto a black canvas of `side` pixels, scaled and shifted as `placement` says,
// canvas pixel (x, y) sampled bilinearly at frame position ((x − offsetX) / scale,
// (y − offsetY) / scale) between the four frame pixels around it. Sample positions are held to 1/32
// pixel and the weights to 1/1024, as the usual fixed-point warps do, so the canvas is the one
// those gave the network. The canvas's pixel buffer is reused from frame to frame.
void drawOnCanvas(const RgbImage& frame, const CanvasPlacement& placement, int side,
                  PoseCanvas& canvas);
