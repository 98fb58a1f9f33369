#!/usr/bin/env bash
# Rebuilds data/pose_landmark_lite.onnx from the pinned npm package and checks that the result
# is byte for byte the file in the tree.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGE="@mediapipe/pose@0.5.1675469404"
TFLITE_SHA256="f17bfbecadb61c3be1baa8b8d851cc6619c870a87167b32848ad20db306b9d61"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$PACKAGE" >/dev/null && tar -xzf ./*.tgz)
tflite="$work/package/pose_landmark_lite.tflite"
echo "$TFLITE_SHA256  $tflite" | sha256sum --check --quiet
/usr/bin/python3 "$ROOT/tools/tflite-to-onnx.py" "$tflite" "$work/pose_landmark_lite.onnx"
if cmp "$work/pose_landmark_lite.onnx" "$ROOT/data/pose_landmark_lite.onnx"; then
    echo "data/pose_landmark_lite.onnx is reproduced exactly"
else
    echo "data/pose_landmark_lite.onnx differs from a fresh conversion" >&2
    exit 1
fi
