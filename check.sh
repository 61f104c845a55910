#!/bin/sh
# Installs what is missing, builds the sanitizer build and runs every test.
set -eu
cd "$(dirname "$0")"
scripts/install-packages.sh
JOBS=$(nproc)
cmake -S . -B build/check -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=ON -DLUMO_WERROR=ON -DLUMO_TESTS=ON
cmake --build build/check -j "$JOBS"
cd build/check
LUMO_PLATFORM=headless ctest --output-on-failure --timeout 300 -j "$JOBS"
