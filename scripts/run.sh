#!/bin/sh
# Installs what is needed, builds Tabulix and starts it on the sample table.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULIX_BUILD_TESTS=OFF -DTABULIX_BUILD_BENCH=OFF >/dev/null
cmake --build build --target tabulix -- -j2
exec ./build/src/tabulix "$PWD/samples/会員名簿.csv"
