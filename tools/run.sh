#!/bin/sh
# Installs the dependencies, builds Skyrell and starts it.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
exec build/src/skyrell "$@"
