#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the console
# converter turns the shipped sample text into an EPUB.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${KELVRA_BUILD_DIR:-build}
mkdir -p "$build_dir/out"
"$build_dir/bin/kelvracmd" samples/sample.txt "$build_dir/out/sample.epub"
