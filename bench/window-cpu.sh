#!/usr/bin/env bash
# What the open window costs in processor time, for one or more builds side by side.
#
#   bench/window-cpu.sh [--seconds N] [--runs R] [--only "SCENARIO..."] [PROGRAM[=LABEL]]...
#
# Each program runs the camera in a real window on a virtual X display (Xvfb), driven by a
# script on the real clock, and the process's own processor time (user + system, all its
# threads, from /proc/PID/stat) is read at the start and end of each measured stretch:
#
#   live     the built-in scene at its full frame rate, nothing touched
#   still    a picture file as the camera (nothing on the screen moves)
#   gallery  the gallery open over the live scene
#   show     the developing show: the first 1.5 s after the shutter, and the whole print
#            (4.5 s from the shutter until the panel and the print have left the screen)
#   look     the live scene shown through the look (P): Sepia in the instant frame, dated
#   colour   the same with the Color look, whose film frame blends under hard light
#
# --only measures those scenarios alone (default: all of them).
# A shot in the script marks the moment a stretch begins; the shot itself lies outside
# every stretch measured. Each figure is the median of R runs. Without a program it
# measures build/bin/morvane. Needs Xvfb (xvfb-run) and a build with its share/ folder
# beside bin/ (or MORVANE_RESOURCES).
set -euo pipefail

seconds=6
runs=3
only="live still gallery show look colour"
programs=()
while (($#)); do
    case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    -h | --help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) programs+=("$1"); shift ;;
    esac
done
here="$(cd "$(dirname "$0")/.." && pwd)"
((${#programs[@]})) || programs=("$here/build/bin/morvane=this build")

# One virtual display for every run, so they all see the same server.
if [[ -z "${MORVANE_WINDOW_CPU_INNER:-}" ]]; then
    command -v xvfb-run >/dev/null || { echo "window-cpu: xvfb-run is needed" >&2; exit 1; }
    exec env MORVANE_WINDOW_CPU_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$0" --seconds "$seconds" --runs "$runs" --only "$only" "${programs[@]}"
fi

work="$(mktemp -d /tmp/morvane-window-cpu.XXXXXX)"
trap 'rm -rf "$work"' EXIT
ticks="$(getconf CLK_TCK)"

# Processor time of process $1 so far, in seconds.
cpu_of() {
    local stat
    stat="$(cat "/proc/$1/stat" 2>/dev/null)" || { echo 0; return; }
    # Fields after the command name (which may hold spaces): utime is the 12th, stime the 13th.
    stat="${stat##*) }"
    read -r -a f <<<"$stat"
    echo "scale=6; (${f[11]} + ${f[12]}) / $ticks" | bc
}

now() { date +%s.%N; }

# The picture for the still camera: any opaque PNG of the build's resources will do.
still_picture() {
    local program="$1" share
    share="${MORVANE_RESOURCES:-$(dirname "$(dirname "$program")")/share/morvane}"
    echo "$share/background0.png"
}

# Runs one program on one scenario; prints the processor share (percent of one core) of each
# stretch, space-separated.
measure() {
    local program="$1" scenario="$2"
    local home="$work/home-$RANDOM$RANDOM" marker="$work/marker-$RANDOM$RANDOM.png"
    local script="$work/script-$RANDOM.txt" camera="scene"
    local stretches
    mkdir -p "$home"
    case "$scenario" in
    live) printf 'wait 3\nshot %s\nwait %s\n' "$marker" "$((seconds + 3))" >"$script"
        stretches="0.5:$seconds" ;;
    still) camera="$(still_picture "$program")"
        printf 'wait 3\nshot %s\nwait %s\n' "$marker" "$((seconds + 3))" >"$script"
        stretches="0.5:$seconds" ;;
    gallery) printf 'wait 3\nkey r\nwait 1\nshot %s\nwait %s\n' "$marker" "$((seconds + 3))" \
        >"$script"
        stretches="0.5:$seconds" ;;
    show) printf 'wait 4\nshot %s\nkey space\nwait 8\n' "$marker" >"$script"
        stretches="0:1.5 0:4.5" ;;
    look | colour)
        # Category 4 (Sepia) and frame 1, dated; or category 9 (Color) and frame 2.
        local turns='key right\nkey right\nkey right\nkey down\n'
        [[ "$scenario" == colour ]] && turns="$(printf 'key right\\n%.0s' {1..8})key down\nkey down\n"
        [[ "$scenario" == look ]] && MORVANE_HOME="$home" "$program" defaults write canDate YES
        printf "wait 2\n${turns}key p\nwait 2\nshot %s\nwait %s\n" "$marker" "$((seconds + 3))" \
            >"$script"
        stretches="0.5:$seconds" ;;
    esac
    SDL_AUDIODRIVER=dummy "$program" --home "$home" --camera "$camera" --script "$script" \
        >/dev/null 2>&1 &
    local pid=$!
    local waited=0
    until [[ -s "$marker" ]]; do
        sleep 0.005
        waited=$((waited + 1))
        if ((waited > 4000)) || ! kill -0 "$pid" 2>/dev/null; then
            echo "window-cpu: $program did not reach the $scenario stretch" >&2
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            return 1
        fi
    done
    local t0 out=() offset length start c0 c1 t1 t2 deadline
    t0="$(now)"
    for s in $stretches; do
        offset="${s%%:*}"
        length="${s##*:}"
        start="$(echo "$t0 + $offset" | bc)"
        sleep "$(echo "d = $start - $(now); if (d < 0) 0 else d" | bc)"
        c0="$(cpu_of "$pid")"
        t1="$(now)"
        deadline="$(echo "$start + $length" | bc)"
        sleep "$(echo "d = $deadline - $(now); if (d < 0) 0 else d" | bc)"
        c1="$(cpu_of "$pid")"
        t2="$(now)"
        out+=("$(echo "scale=2; 100 * ($c1 - $c0) / ($t2 - $t1)" | bc)")
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$home"
    echo "${out[*]}"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for entry in "${programs[@]}"; do
    [[ -x "${entry%%=*}" ]] || { echo "window-cpu: ${entry%%=*} is not a program" >&2; exit 1; }
done
# The programs take turns, run after run, so that a machine busier at one moment than at
# another weighs on all of them alike.
declare -A result samples
for scenario in $only; do
    for ((r = 0; r < runs; r++)); do
        for entry in "${programs[@]}"; do
            samples["$entry"]+="$(measure "${entry%%=*}" "$scenario")"$'\n'
        done
    done
    for entry in "${programs[@]}"; do
        columns=$(head -n1 <<<"${samples["$entry"]}" | wc -w)
        for ((c = 1; c <= columns; c++)); do
            result["$entry|$scenario|$c"]="$(grep . <<<"${samples["$entry"]}" | awk -v c="$c" '{ print $c }' | median)"
        done
        samples["$entry"]=""
    done
done

rows=("live|1|the live scene, idle|5% or less"
    "still|1|a still picture|0"
    "gallery|1|the gallery open|1% or less"
    "show|1|the developing show, first 1.5 s|25% or less"
    "show|2|one whole print, 4.5 s|"
    "look|1|the live scene through Sepia, instant frame, dated (P)|15% or less"
    "colour|1|the live scene through Color, film frame (P)|15% or less")
header="| what | goal |"
rule="| --- | --- |"
for entry in "${programs[@]}"; do
    label="${entry#*=}"
    [[ "$label" == "$entry" ]] && label="$(basename "$(dirname "$(dirname "$entry")")")"
    header+=" $label |"
    rule+=" --- |"
done
echo "Percent of one core, median of $runs runs, stretches of $seconds s at rest:"
echo "$header"
echo "$rule"
for row in "${rows[@]}"; do
    IFS='|' read -r scenario column what goal <<<"$row"
    [[ " $only " == *" $scenario "* ]] || continue
    line="| $what | $goal |"
    for entry in "${programs[@]}"; do
        line+=" ${result["$entry|$scenario|$column"]}% |"
    done
    echo "$line"
done
