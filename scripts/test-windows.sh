#!/usr/bin/env bash
# Cross-builds for 64-bit Windows with MinGW-w64 (everything that needs no Qt
# and no converter libraries: the platform services, the core, kelvracmd and
# their tests) and runs the tests through CTest under Wine.
# Installs what is missing: the cross compiler, Wine and GoogleTest's sources.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KELVRA_WINDOWS_BUILD_DIR:-$root/build-windows}
jobs=${KELVRA_JOBS:-$(nproc)}

scripts/install-deps.sh cmake make g++-mingw-w64-x86-64 wine64 googletest

toolchain=$root/cmake/mingw-w64-x86_64.cmake
wine=/usr/lib/wine/wine64

# Wine keeps its own Windows installation (registry, drive C:) in a prefix
# of this build, made once; no window is ever shown.
export WINEPREFIX=$build_dir/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi

# GoogleTest for MinGW, from Debian's sources.
gtest_prefix=$build_dir/googletest
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build_dir/googletest-build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -Dgtest_disable_pthreads=ON >/dev/null
  cmake --build "$build_dir/googletest-build" --parallel "$jobs" >/dev/null
  cmake --install "$build_dir/googletest-build" >/dev/null
fi

cmake -S "$root" -B "$build_dir/kelvra" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
  -DKELVRA_WITH_QT=OFF -DKELVRA_WITH_CONVERTER=OFF \
  -DGTest_DIR="$gtest_prefix/lib/cmake/GTest"
cmake --build "$build_dir/kelvra" --parallel "$jobs"
ctest --test-dir "$build_dir/kelvra" --output-on-failure --parallel "$jobs" "$@"
/usr/lib/wine/wineserver -k 2>/dev/null || true
