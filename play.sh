#!/bin/sh
# Installs what is missing, builds the release build with its archives and starts the game.
set -eu
cd "$(dirname "$0")"
scripts/install-packages.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DLUMO_TESTS=OFF
cmake --build build/release -j "$(nproc)"
cd build/release/game
exec ./zentrova "$@"
