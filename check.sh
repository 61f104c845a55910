#!/bin/sh
# Installs what is missing, builds the sanitizer build and runs every test; then
# builds the release build that ./play.sh plays, in the folder ./play.sh reuses,
# and runs the tests there too, so that a fault only optimisation shows fails.
set -eu
cd "$(dirname "$0")"
scripts/install-packages.sh
JOBS=$(nproc)
run_tests() {
    (cd "$1" && LUMO_PLATFORM=headless ctest --output-on-failure --timeout 300 -j "$JOBS")
}
cmake -S . -B build/check -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=ON -DLUMO_WERROR=ON -DLUMO_TESTS=ON
cmake --build build/check -j "$JOBS"
run_tests build/check
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DLUMO_TESTS=ON
cmake --build build/release -j "$JOBS"
run_tests build/release
