#!/bin/sh
# The program's own load, end to end under a virtual display: the time from
# launching it with a file until its caption names the file, minus the time
# an empty launch takes until its window shows. Needs Xvfb, xdotool and xprop.
# The caption is watched through property events (xprop -spy), not by
# polling, so that the watching takes no time from the load on either core.
#
#   bench/program_load.sh <program> <file.csv> [runs]
set -eu
program=$1
file=$2
runs=${3:-3}
display=:57
Xvfb $display -screen 0 1280x900x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
name=$(basename "$file")

# Seconds from launch until a window whose name holds $1 exists.
until_window() {
    start=$(date +%s.%N)
    while ! xdotool search --name "$1" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

# Seconds from launch until the window of $pid has a caption holding $1:
# polls only until the window exists (before the program handles its
# argument), then waits for the caption's change events.
until_caption() {
    start=$(date +%s.%N)
    while ! wid=$(xdotool search --pid "$pid" 2>/dev/null | head -1) || [ -z "$wid" ]; do
        sleep 0.005
    done
    events=$(mktemp -u)
    mkfifo "$events"
    xprop -spy -id "$wid" _NET_WM_NAME >"$events" 2>/dev/null &
    spy=$!
    while read -r line; do
        case "$line" in *"$1"*) end=$(date +%s.%N); break ;; esac
    done <"$events"
    kill "$spy" 2>/dev/null || true
    rm -f "$events"
    echo "$end - $start" | bc
}

run() {
    settings=$(mktemp -d)
    TABULIX_SETTINGS_DIR=$settings "$program" "$@" >/dev/null 2>&1 &
    pid=$!
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    peak=$(grep VmHWM /proc/$pid/status 2>/dev/null | awk '{print $2}') || true
    rm -rf "$settings"
}

for i in $(seq "$runs"); do
    run
    empty=$(until_window Tabulix)
    stop
    run "$file"
    loaded=$(until_caption "$name")
    sleep 0.5
    hwm=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
    rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
    stop
    mb=$(stat -c %s "$file" | awk '{print $1 / 1e6}')
    echo "$loaded $empty $mb $hwm $rss" | awk '{ printf "launch with the file %.3f s, empty launch %.3f s: load %.3f s, %.0f MB/s; process peak %.0f MB, settled %.0f MB\n", $1, $2, $1 - $2, $3 / ($1 - $2), $4 / 1024, $5 / 1024 }'
done
