# Sourced by the scripts that run the game in a window on an X server of their
# own: Xvfb (whose only GL is a software one), with openbox where it is
# installed, and the game in a data, settings and runtime folder of its own, so
# that the player's own files are left alone and a copy running elsewhere does
# not stop it as a second instance. Needs Xvfb and xdotool.
# Sets folder (the scratch folder, removed at exit), game (the pid) and window.
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

# prepare_game_folder DATA FULLSCREEN: DATA (may be empty) is copied into the
# data folder; the game starts full screen only when FULLSCREEN is 1 (its own
# first start would be full screen).
prepare_game_folder() {
    if [ -n "$1" ]; then
        cp -r "$1/." "$folder/data/"
    fi
    printf '[SOFTWARE\\DravikGames\\Zentrova]\n"ScreenMode"=dword:%d\n' "$([ "$2" = 1 ] && echo 1 || echo 0)" \
        >"$folder/config/lumo/registry.txt"
}

# start_display WIDTHxHEIGHT
start_display() {
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$folder/display" 2>/dev/null &
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
}

# start_game PROGRAM [ARGUMENT...]
start_game() {
    local program="$1"
    shift
    (cd "$(dirname "$program")" &&
        exec env XDG_DATA_HOME="$folder/data" XDG_CONFIG_HOME="$folder/config" XDG_RUNTIME_DIR="$folder/runtime" \
            LUMO_PLATFORM=sdl "$program" "$@" >/dev/null 2>&1) &
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
}
