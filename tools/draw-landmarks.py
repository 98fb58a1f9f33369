#!/usr/bin/python3
"""Draws what the pose detector sees onto photographs, for eyeballing the network.

Runs data/pose_landmark_lite.onnx with the same canvas, presence threshold, left/right
labelling and derived neck as BlazePoseDetector, and writes <name>.png into the output folder
with the six joints, the neck and the three posture angles.

    tools/draw-landmarks.py /tmp/landmarks tests/data/*.png tests/data/*.jpg
"""

import math
import os
import sys

import cv2
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pose_onnx import PoseOnnx  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INPUT = 256
MIN_PRESENCE = 0.5
UPRIGHT_NOSE_HEIGHT = 0.46


def detect(network, rgb):
    """Joints as (x, y, confidence) normalised with y upward, or None when nobody is there."""
    h, w = rgb.shape[:2]
    scale = INPUT / max(w, h)
    offset_x = (max(w, h) - w) / 2 * scale
    to_canvas = np.array([[scale, 0, offset_x], [0, scale, 0]])
    canvas = cv2.warpAffine(rgb, to_canvas, (INPUT, INPUT), flags=cv2.INTER_LINEAR,
                            borderMode=cv2.BORDER_CONSTANT, borderValue=(0, 0, 0))
    landmarks, presence = network.run(canvas.astype(np.float32) / 255.0)
    if presence < MIN_PRESENCE:
        return None, presence
    lm = landmarks.reshape(39, 5)

    def joint(i):
        x = (lm[i, 0] - offset_x) / scale / w
        y = 1 - lm[i, 1] / scale / h
        return np.array([x, y]), 1 / (1 + math.exp(-lm[i, 3]))

    joints = {"nose": joint(0), "leftEar": joint(8), "rightEar": joint(7),
              "leftShoulder": joint(12), "rightShoulder": joint(11)}
    joints["neck"] = (neck(joints["nose"][0], joints["leftShoulder"][0],
                           joints["rightShoulder"][0], w / h), 1.0)
    return joints, presence


def neck(nose, left, right, aspect):
    mid = (left + right) / 2
    along = (right - left) * np.array([aspect, 1.0])
    expected = mid + UPRIGHT_NOSE_HEIGHT * np.array([-along[1] / aspect, along[0]])
    axis = expected - mid
    diameter = np.linalg.norm(axis)
    if diameter <= 0:
        return mid
    a = axis / diameter
    s = np.array([a[1], -a[0]])
    side = diameter / 2 + (nose - mid) @ s / 2
    return mid + diameter / 2 * a + side * s


def tilt(left, right):
    return math.degrees(math.atan2(right[1] - left[1], right[0] - left[0]))


def slouch(j):
    mid = (j["leftShoulder"][0] + j["rightShoulder"][0]) / 2
    v = j["neck"][0]
    a = math.atan2(*(j["nose"][0] - v)[::-1]) - math.atan2(*(mid - v)[::-1])
    a = abs(math.degrees(a))
    return 360 - a if a > 180 else a


def draw(bgr, joints, presence):
    h, w = bgr.shape[:2]
    out = bgr.copy()
    thick = max(1, round(max(w, h) / 300))

    def px(p):
        return int(round(p[0] * w)), int(round((1 - p[1]) * h))

    if joints is None:
        cv2.putText(out, "nobody (presence %.2f)" % presence, (10, 30), cv2.FONT_HERSHEY_SIMPLEX,
                    0.8, (0, 0, 255), 2)
        return out
    colours = {"nose": (0, 255, 255), "leftEar": (255, 128, 0), "rightEar": (0, 128, 255),
               "leftShoulder": (255, 0, 0), "rightShoulder": (0, 0, 255), "neck": (0, 255, 0)}
    mid = (joints["leftShoulder"][0] + joints["rightShoulder"][0]) / 2
    cv2.line(out, px(joints["leftShoulder"][0]), px(joints["rightShoulder"][0]), (255, 255, 255),
             thick)
    cv2.line(out, px(joints["leftEar"][0]), px(joints["rightEar"][0]), (200, 200, 200), thick)
    cv2.line(out, px(joints["neck"][0]), px(joints["nose"][0]), (0, 255, 0), thick)
    cv2.line(out, px(joints["neck"][0]), px(mid), (0, 255, 0), thick)
    for name, (p, conf) in joints.items():
        cv2.circle(out, px(p), 3 * thick + 2, colours[name], -1)
        cv2.putText(out, "%s %.2f" % (name, conf), (px(p)[0] + 6, px(p)[1] - 6),
                    cv2.FONT_HERSHEY_SIMPLEX, 0.4, colours[name], 1)
    text = "shoulder %.1f  head %.1f  slouch %.1f  presence %.2f" % (
        tilt(joints["leftShoulder"][0], joints["rightShoulder"][0]),
        tilt(joints["leftEar"][0], joints["rightEar"][0]), slouch(joints), presence)
    cv2.putText(out, text, (10, 24), cv2.FONT_HERSHEY_SIMPLEX, 0.6, (0, 0, 0), 4)
    cv2.putText(out, text, (10, 24), cv2.FONT_HERSHEY_SIMPLEX, 0.6, (255, 255, 255), 1)
    return out


def main():
    out_dir, *paths = sys.argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    network = PoseOnnx(os.path.join(ROOT, "data", "pose_landmark_lite.onnx"))
    for path in paths:
        bgr = cv2.imread(path, cv2.IMREAD_COLOR)
        variants = [("", bgr), ("-mirrored", cv2.flip(bgr, 1))]
        h, w = bgr.shape[:2]
        for degrees in (-15, 15):
            turn = cv2.getRotationMatrix2D((w / 2, h / 2), degrees, 1.0)
            variants.append(("-rotated%+d" % degrees,
                             cv2.warpAffine(bgr, turn, (w, h), borderMode=cv2.BORDER_REPLICATE)))
        for suffix, image in variants:
            joints, presence = detect(network, cv2.cvtColor(image, cv2.COLOR_BGR2RGB))
            name = os.path.splitext(os.path.basename(path))[0] + suffix
            target = os.path.join(out_dir, name + ".png")
            cv2.imwrite(target, draw(image, joints, presence))
            if joints is None:
                print("%-24s nobody (presence %.3f)" % (name, presence))
            else:
                print("%-24s shoulder %6.1f  head %6.1f  slouch %6.1f  presence %.3f" % (
                    name, tilt(joints["leftShoulder"][0], joints["rightShoulder"][0]),
                    tilt(joints["leftEar"][0], joints["rightEar"][0]), slouch(joints), presence))
    return 0


if __name__ == "__main__":
    sys.exit(main())
