#!/usr/bin/env bash
# The main job: set up, build, and show the Floral deliverable's parameters.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
"$root/build/qf-host" params floral
