#!/bin/sh
# Installs what is missing, builds the release game with its archives and starts it.
set -eu
cd "$(dirname "$0")"
scripts/install-packages.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
# Only what the game needs: ./check.sh builds the tests in the same folder.
cmake --build build/release --target zentrova content_archives -j "$(nproc)"
cd build/release/game
exec ./zentrova "$@"
