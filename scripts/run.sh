#!/usr/bin/env bash
# The main job: set up, build, and render the default Floral frame (default
# parameters over the built-in 1920 x 1080 picture) to a PNG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
out="$root/build/default_frame.png"
"$root/build/qf-host" render floral -o "$out"
echo "Rendered the default frame: $out"
