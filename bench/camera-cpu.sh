#!/usr/bin/env bash
# The camera window's CPU while it shows a live camera: the program under a virtual display
# with a GStreamer test source of 1280 by 720 at 30 frames a second, its processor time read
# from /proc over SECONDS (default 10) after a few seconds to settle. Prints the share of one
# core, every thread of the process counted (the test source's own drawing of its frames
# too, which a real camera does not cost).
#   bench/camera-cpu.sh [SECONDS]
#   MORVANE=path/to/morvane  CAMERA='--camera value'  SCALE=window pixels per point
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
binary=${MORVANE:-build/bin/morvane}
camera=${CAMERA:-gst:videotestsrc is-live=true ! video/x-raw,width=1280,height=720,framerate=30/1}
scale=${SCALE:-2}
settle=3

work=$(mktemp -d)
xvfb=""
camera_pid=""
cleanup() {
    [[ -n $camera_pid ]] && kill "$camera_pid" 2>/dev/null && wait "$camera_pid" 2>/dev/null
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }

DISPLAY=":$(cat "$work/display")" "$binary" --home "$work/home" --scale "$scale" \
    --camera "$camera" 2>"$work/errors" &
camera_pid=$!
sleep "$settle"
if ! kill -0 "$camera_pid" 2>/dev/null; then
    echo "the camera ended early:" >&2
    cat "$work/errors" >&2
    exit 1
fi

# utime and stime, fields 14 and 15, in clock ticks; the name in field 2 has no spaces here.
ticks() { awk '{print $14 + $15}' "/proc/$camera_pid/stat"; }
start_ticks=$(ticks)
start_time=$(date +%s.%N)
sleep "$seconds"
end_ticks=$(ticks)
end_time=$(date +%s.%N)
awk -v t0="$start_ticks" -v t1="$end_ticks" -v s0="$start_time" -v s1="$end_time" \
    -v hz="$(getconf CLK_TCK)" -v camera="$camera" -v scale="$scale" 'BEGIN {
        printf "camera window, %s, scale %s: %.1f%% of one core over %.1f s\n",
               camera, scale, 100 * (t1 - t0) / hz / (s1 - s0), s1 - s0
    }'
