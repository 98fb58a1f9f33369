#pragma once

#include "Platform/PoseDetector.h"

// Where a frame sits on the network's square input: scaled so its longer side fills the square,
// centred across and set against the top. For a landscape webcam frame the empty band below
// stands in for the hips and legs the network expects under the shoulders.
struct CanvasPlacement {
    double scale = 1.0;    // network pixels per frame pixel
    double offsetX = 0.0;  // network pixels
    double offsetY = 0.0;

    static CanvasPlacement forFrame(int frameWidth, int frameHeight, int inputSize);
};

// A vertex for the slouch angle, which the posture rules read at the neck between the rays to
// the nose and to the shoulder midpoint. The network has no neck, and any point on the body's
// midline makes the two rays collinear, so the vertex sits off the midline. It lies on the
// circle whose diameter runs from the shoulder midpoint to where an upright user's nose would
// be (a fixed height above the shoulder line, in shoulder widths, perpendicular to it, so
// rotation and scale drop out), which makes upright read 90°; the angle falls towards 0° as the
// nose drops to the shoulder line. The vertex also follows half the nose's sideways offset,
// which to first order cancels a head turned or leant sideways out of the angle.
// Joints are in the frame's normalised coordinates; frameAspect = width / height makes the
// shoulder frame square in pixels while the circle is laid out where the angle is measured.
PoseJoint deriveNeck(const PoseJoint& nose, const PoseJoint& leftShoulder,
                     const PoseJoint& rightShoulder, double frameAspect);
