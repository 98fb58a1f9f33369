#pragma once

#include "Platform/PoseDetector.h"

// Where a frame sits on the network's square input: scaled so its longer side fills the square,
// centred across and set against the top, so a landscape webcam frame leaves an empty band
// below where the network expects the torso. Measured on the test photographs (upright
// astronaut, also mirrored and cut to 4:3, rotated ±8°/±15°) against squashing the frame and
// against larger canvases (frame at the top of a square 1.5–3× its longer side):
// - tilt tracking, rms error of the shoulder / ear line against the rotation: this canvas
//   4.3° / 5.0°, squashed 6.8° / 6.7°, larger canvases 6.1–9.4° / 3.4–6.8°;
// - person-present score, people lowest / nine photographs with nobody highest: this canvas
//   0.96 / 0.14, squashed 0.96 / 1.00 (a landscape rocket launch), larger canvases
//   overlap (e.g. 2× gives a coffee cup 0.96).
// Larger canvases put the shoulder points nearer the anatomical shoulders (this canvas sets
// them on the astronaut's collar ring), but the posture readings are relative to a baseline
// and track better here.
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
