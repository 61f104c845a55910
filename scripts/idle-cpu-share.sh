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
folder="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$folder"
}
trap cleanup EXIT
mkdir -p "$folder/data" "$folder/config/lumo" "$folder/runtime"
if [ -n "$data" ]; then
    cp -r "$data/." "$folder/data/"
fi
printf '[SOFTWARE\\DravikGames\\Zentrova]\n"ScreenMode"=dword:%d\n' "$([ "${FULLSCREEN:-0}" = 1 ] && echo 1 || echo 0)" \
    >"$folder/config/lumo/registry.txt"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$folder/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do
    [ -s "$folder/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$folder/display")"
# A window manager, as on a desktop: full screen takes one to give the window the whole screen.
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids=("$!" "${pids[@]}")
    sleep 1
fi

cd "$(dirname "$program")"
XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" XDG_RUNTIME_DIR="$folder/runtime" \
    LUMO_PLATFORM=sdl "$program" >/dev/null 2>&1 &
game=$!
pids=("$game" "${pids[@]}")
# The game runs only while its window has the focus, and a bare X server gives it none.
window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --pid "$game" 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
xdotool windowfocus "$window"
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
