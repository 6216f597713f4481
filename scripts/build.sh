#!/usr/bin/env bash
# Configures and builds Kelvra into build/ (or $KELVRA_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KELVRA_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
