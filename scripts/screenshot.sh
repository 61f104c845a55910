#!/bin/bash
# Makes the README's picture again: the game, in a window on an X server of its
# own, replays the first game kept with the tests, and the window is taken
# SETTLE seconds (default 8) after the first level has started, while the board
# is being played. Needs Xvfb, xdotool and ImageMagick (Debian: xvfb xdotool imagemagick).
# Usage: scripts/screenshot.sh [PROGRAM] (default: the game ./play.sh builds).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/release/game/zentrova}")"
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool imagemagick" >&2; exit 1; }
done
. "$root/scripts/game-on-xvfb.sh"
prepare_game_folder "" 0
start_display 1024x768
start_game "$program" -play -demofile="$root/tests/fixtures/demo/game.dmo"
# The log, which the game empties at its start, names the match table each time a level starts.
log="$(dirname "$program")/applog.txt"
for _ in $(seq 600); do
    grep -q 'Set match\[' "$log" 2>/dev/null && break
    sleep 0.5
done
grep -q 'Set match\[' "$log" || { echo "no level started" >&2; exit 1; }
sleep "${SETTLE:-8}"
import -window "$window" "$folder/shot.png"
# Three quarters of the size in a palette of 128 colours keeps the picture small.
convert "$folder/shot.png" -resize 75% -colors 128 -strip "$root/docs/zentrova.png"
echo "$root/docs/zentrova.png"
