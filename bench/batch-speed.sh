#!/bin/bash
# `morvane print` timed on many photos, two builds side by side in one run, and the table of
# what came out: prints a second on both cores, CPU per print, the JPEG floor (the decoding
# and encoding a print cannot do without, measured by bench_batch in the same run) and how
# many prints of the two builds are the same bytes.
#
#   bench/batch-speed.sh NEW_BUILD [BASE_BUILD] [PRINTS] [ROUNDS]
#
# NEW_BUILD and BASE_BUILD are build folders (bin/morvane, bench/bench_batch). The photos are
# the built-in scene with grain, as a phone writes them (JPEG quality 90), 20 of each size,
# named PRINTS times over; each build prints them ROUNDS times, the builds taking turns, and
# the median round counts. Figures on a shared machine move with its load: the load average
# is printed before and after.
set -euo pipefail

new=${1:?usage: batch-speed.sh NEW_BUILD [BASE_BUILD] [PRINTS] [ROUNDS]}
base=${2:-}
prints=${3:-200}
rounds=${4:-3}
jobs=2
sizes=("2048 1536" "4000 3000")

work=$(mktemp -d /tmp/morvane-batch-speed-XXXXXX)
trap 'rm -rf "$work"' EXIT

builds=(new)
[ -n "$base" ] && builds=(base new)
binary() { if [ "$1" = new ]; then echo "$new/bin/morvane"; else echo "$base/bin/morvane"; fi; }

for size in "${sizes[@]}"; do
    set -- $size
    "$new/bench/bench_batch" --write-photos "$work/photos-$1" "$1" "$2" 20
    mkdir -p "$work/names-$1"
    for ((i = 0; i < prints; i++)); do
        ln -s "$work/photos-$1/$(printf 'photo%03d.jpg' $((i % 20)))" \
            "$work/names-$1/$(printf 'p%04d.jpg' "$i")"
    done
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# One run: "wall user sys" in seconds.
run() { # build width out
    local out=$3
    rm -rf "$out"
    MORVANE_MODEL=iPhone2,1 /usr/bin/time -f "%e %U %S" -o "$work/time" \
        "$(binary "$1")" print "$work/names-$2"/*.jpg --out "$out" --high-quality --force \
        --jobs "$jobs" >/dev/null
    cat "$work/time"
}

declare -A results
for ((r = 1; r <= rounds; r++)); do
    for size in "${sizes[@]}"; do
        set -- $size
        order=("${builds[@]}")
        # Taking turns: a build that always ran second would always meet a warmer machine.
        if ((r % 2 == 0)); then order=($(printf '%s\n' "${builds[@]}" | tac)); fi
        for b in "${order[@]}"; do
            results[$b,$1]+="$(run "$b" "$1" "$work/out-$b-$1")"$'\n'
        done
    done
done

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The JPEG floor, in the same run: median CPU milliseconds of decode plus encode.
floor() {
    "$new/bench/bench_batch" --benchmark_filter="BM_JpegFloor/$1\$" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, '/_median/ { printf "%.1f", $4 }'
}

printf '\n%s prints a photo size, %s jobs, median of %s rounds; load %s before, %s after\n\n' \
    "$prints" "$jobs" "$rounds" "$load_before" "$load_after"
printf '| photos | build | prints a second | CPU per print | JPEG floor | CPU / floor | same bytes as base |\n'
printf '| --- | --- | --- | --- | --- | --- | --- |\n'
for size in "${sizes[@]}"; do
    set -- $size
    jpeg=$(floor "$1")
    for b in "${builds[@]}"; do
        read -r wall user sys < <(printf '%s' "${results[$b,$1]}" | sort -n | awk -v n="$rounds" \
            'NF { rows[++k] = $0 } END { print rows[int((k + 1) / 2)] }')
        rate=$(awk -v p="$prints" -v w="$wall" 'BEGIN { printf "%.1f", p / w }')
        cpu=$(awk -v p="$prints" -v u="$user" -v s="$sys" 'BEGIN { printf "%.1f", (u + s) * 1000 / p }')
        ratio=$(awk -v c="$cpu" -v f="$jpeg" 'BEGIN { printf "%.2f", c / f }')
        same=""
        if [ "$b" = new ] && [ -n "$base" ]; then
            n=0
            for f in "$work/out-base-$1"/*.jpg; do
                cmp -s "$f" "$work/out-new-$1/$(basename "$f")" && n=$((n + 1))
            done
            same="$n of $prints"
        fi
        printf '| %s by %s | %s | %s | %s ms | %s ms | %s | %s |\n' "$1" "$2" "$b" "$rate" "$cpu" \
            "$jpeg" "$ratio" "$same"
    done
done
