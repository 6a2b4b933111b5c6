#!/usr/bin/env bash
# Configures and builds into build/ (tests and benchmarks included).
set -euo pipefail
cd "$(dirname "$0")/.."
# Let ccache share results between checkouts in different folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
