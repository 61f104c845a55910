#!/bin/bash
# Starts the game in a window on an X server of its own (Xvfb, whose only GL is
# a software one, with openbox where it is installed), in a data, settings and
# runtime folder of its own, gives the
# window the focus, waits while the title gives way to the first screen, and
# prints the share of one core the game process used while that screen stayed.
# With a data folder to copy in (one that holds a player) that screen is the
# menu; without one, the first player's name window over the menu's backdrop.
# It starts in a window (the game's own first start is full screen);
# FULLSCREEN=1 starts it full screen; SETTLE is the wait in seconds (default 25);
# SHOT=FILE.png keeps a picture of the screen taken at the end.
# Usage: scripts/idle-cpu-share.sh [PROGRAM [DATA [SECONDS]]]
# (defaults: the release build's game, no data, 30 seconds).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/release/game/zentrova}")"
data="${2:-}"
seconds="${3:-30}"
. "$root/scripts/game-on-xvfb.sh"
prepare_game_folder "$data" "${FULLSCREEN:-0}"
start_display 1280x1024
start_game "$program"
sleep "${SETTLE:-25}"

ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
before="$(ticks)"
start="$(date +%s.%N)"
sleep "$seconds"
after="$(ticks)"
end="$(date +%s.%N)"
if [ -n "${SHOT:-}" ]; then
    import -window root "$SHOT"
fi
awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$end" \
    -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "%.2f s of processor time in %.1f s: %.1f %% of a core (load %s)\n", t / hz, e - s, 100 * t / hz / (e - s), load
}'
