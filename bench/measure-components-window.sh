#!/usr/bin/env bash
# CPU and memory of a window of every component, visible and animating, under Xvfb.
# Usage: bench/measure-components-window.sh [seconds]
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SPINDREL_PROGRAM="$root/build/bench/component_gallery" exec "$root/bench/measure-process.sh" \
    "${1:-60}"
