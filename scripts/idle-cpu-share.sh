#!/bin/bash
# Prints the share of one core the game process uses while a screen stays
# still, on an X server of its own (Xvfb at 1280 x 1024, whose only GL is a
# software one, with openbox where it is installed; full screen needs it), in a
# data, settings and runtime folder of its own. Each run starts the game, makes
# a player, goes where it is asked and measures for SECONDS:
#   menu    the menu, untouched;
#   idle    the menu after the screen saver's time (5 s) has passed without
#           input, where the game pauses its drawing (only in a window: full
#           screen keeps drawing);
#   paused  the first level, paused with Esc: the pause window over the board.
# Each screen is measured RUNS times (default 3) in each mode of MODES (window,
# full; default both), and the median is printed with the load of the machine.
# SCREENS chooses the screens (default "menu idle paused"); SHOT=PREFIX keeps a
# picture of the screen at the end of each run (PREFIX-screen-mode-run.png).
# Needs Xvfb, xdotool, xset and ImageMagick (Debian: xvfb xdotool x11-xserver-utils imagemagick).
# Usage: scripts/idle-cpu-share.sh [PROGRAM [SECONDS]]
# (defaults: the release build's game, 20 seconds).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/release/game/zentrova}")"
seconds="${2:-20}"
for tool in Xvfb xdotool xset import; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is missing: apt-get install xvfb xdotool x11-xserver-utils imagemagick" >&2; exit 1; }
done

# A click at a point of the game's 800 x 600 screen, wherever and however large the window shows it.
click_at() {
    local at
    at="$(awk -v x="$1" -v y="$2" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
        s = w / 800 < h / 600 ? w / 800 : h / 600
        printf "%d %d", (w - 800 * s) / 2 + x * s, (h - 600 * s) / 2 + y * s
    }')"
    # SDL takes a click where the pointer has moved to first.
    xdotool mousemove --window "$window" ${at}
    sleep 0.3
    xdotool mousemove_relative 1 1
    sleep 0.3
    xdotool click 1
}

# measure SCREEN FULLSCREEN: one run; prints the percentage of a core.
measure() (
    . "$root/scripts/game-on-xvfb.sh"
    prepare_game_folder "" "$2"
    start_display 1280x1024
    xset s off
    start_game "$program"
    # The title gives way to the first player's name window.
    sleep 12
    xdotool type --delay 100 "Tester"
    xdotool key Return
    # The menu unrolls; a click before it stands still is lost.
    sleep 8
    eval "$(xdotool getwindowgeometry --shell "$window")"
    case "$1" in
    menu) sleep 5 ;;
    idle)
        xset s 5
        # The game reads the screen saver's settings every 10 s.
        sleep 15
        ;;
    paused)
        click_at 291 256 # Play
        sleep 6
        click_at 214 456 # Start at the first stage
        sleep 7
        click_at 380 556 # Play level on the map
        sleep 7
        xdotool key Escape # the level's start window: play
        sleep 3
        xdotool key Escape # pause
        sleep 5
        # The log, which the game empties at its start, names the match table when a level starts.
        grep -q 'Set match\[' "$(dirname "$program")/applog.txt" || { echo "no level started" >&2; exit 1; }
        ;;
    esac
    ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
    local before start after end
    before="$(ticks)"
    start="$(date +%s.%N)"
    sleep "$seconds"
    after="$(ticks)"
    end="$(date +%s.%N)"
    if [ -n "${SHOT:-}" ]; then
        import -window root "$SHOT-$1-$2-$3.png"
    fi
    awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$end" \
        'BEGIN { printf "%.1f\n", 100 * t / hz / (e - s) }'
)

for mode in ${MODES:-window full}; do
    fullscreen=$([ "$mode" = full ] && echo 1 || echo 0)
    for screen in ${SCREENS:-menu idle paused}; do
        [ "$screen" = idle ] && [ "$mode" = full ] && continue
        shares=()
        for run in $(seq "${RUNS:-3}"); do
            shares+=("$(measure "$screen" "$fullscreen" "$run")")
        done
        printf '%s\n' "${shares[@]}" | sort -n | awk -v what="$screen, $mode" \
            -v load="$(cut -d' ' -f1 /proc/loadavg)" '{ v[NR] = $1; all = all (NR > 1 ? " " : "") $1 } END {
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%-16s %5.1f %% of a core (median of %s; load %s)\n", what ":", m, all, load
        }'
    done
done
