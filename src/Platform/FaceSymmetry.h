#pragma once

#include <optional>

struct RgbImage;

// Where to look for a face in a frame: centre and radius in frame pixels (x right, y down).
struct FaceWindow {
    double centreX = 0.0;
    double centreY = 0.0;
    double radius = 0.0;
};

namespace FaceSymmetry {

// The roll of a face seen from the front: the direction, in degrees counter-clockwise on screen,
// of the line square to the face's mirror axis, so an upright face reads 0°. The axis is found by
// mirroring the window about lines through its middle (turned −39…39°, shifted sideways up to an
// eighth of the window) and keeping the one that matches its mirror image best. Eyes, brows,
// nose and mouth are far more symmetric than any pose network's guess at ears hidden in hair.
// None when the window is too small, when the best axis lies on the edge of the search, or when
// it matches hardly better than the others: a head seen side-on has no mirror axis.
std::optional<double> rollDegrees(const RgbImage& frame, const FaceWindow& window);

}  // namespace FaceSymmetry
