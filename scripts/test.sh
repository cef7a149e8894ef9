#!/bin/sh
# Installs what is needed, builds everything and runs every test headless.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -- -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j2
