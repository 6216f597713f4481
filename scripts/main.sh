#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the console
# converter turns the shipped sample text into an EPUB, then the window
# program kelvra starts. Without a display (no DISPLAY or WAYLAND_DISPLAY)
# kelvra runs on a virtual X display through xvfb-run; end it with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${KELVRA_BUILD_DIR:-build}
mkdir -p "$build_dir/out"
"$build_dir/bin/kelvracmd" samples/sample.txt "$build_dir/out/sample.epub"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build_dir/bin/kelvra"
fi
echo "No display: starting kelvra on a virtual display (xvfb-run). Press Ctrl+C to end it."
exec xvfb-run -a "$build_dir/bin/kelvra"
