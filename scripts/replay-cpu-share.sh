#!/bin/bash
# Replays a recorded game headless, in a data, settings and runtime folder of its own
# (so that a copy of the game running elsewhere does not stop it as a second instance),
# and prints the share of one core the whole run used: processor time (user
# and system) over the wall time of the replay, which runs in real time.
# Usage: scripts/replay-cpu-share.sh [PROGRAM [DEMO]]
# (defaults: the release build's game and the demo kept with the tests).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/release/game/zentrova}")"
demo="$(realpath "${2:-$root/tests/fixtures/demo/game.dmo}")"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
mkdir -p "$folder/data" "$folder/config" "$folder/runtime"

cd "$(dirname "$program")"
TIMEFORMAT='%U %S %R'
times=$( { time XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" XDG_RUNTIME_DIR="$folder/runtime" \
    LUMO_PLATFORM=headless "$program" -play -demofile="$demo" >/dev/null 2>&1; } 2>&1 )
read -r user system wall <<<"$times"
awk -v u="$user" -v s="$system" -v w="$wall" -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "user %.2f s, system %.2f s, wall %.2f s: %.1f %% of a core (load %s)\n", u, s, w, 100 * (u + s) / w, load
}'
