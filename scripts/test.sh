#!/bin/sh
# Installs what is needed, builds everything and runs every test headless.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -- -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j2
# The fuzz targets (clang, libFuzzer), each run briefly over its seed corpus.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTABULIX_FUZZ=ON \
    -DTABULIX_BUILD_TESTS=OFF -DTABULIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_targets -- -j2
ctest --test-dir build-fuzz --output-on-failure -L fuzz
