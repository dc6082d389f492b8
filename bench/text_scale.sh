#!/usr/bin/env bash
# Times `vktable dump`, `build` and `check` on the full-capacity table (10.5 MB) and on ten of
# them back to back (105 MB), with the peak memory of each, and prints how the time grows
# against the goals: at most 12 times the small table's time, at most 256 MB at 105 MB
# (dump and build). build must give back the table byte for byte.
#
#   bench/text_scale.sh [BUILD] [RUNS] [OTHER_VKTABLE]
#
# BUILD is a Release build with VK_BUILD_BENCH=ON (default build/bench); each time is the median
# of RUNS (default 5), wall and processor (user + system, the steadier on a busy machine). With
# OTHER_VKTABLE (an earlier build of vktable), its dump and check output must be the same bytes
# as this build's, and its figures are printed too.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps
vk_install_packages "${VK_BENCH_PACKAGES[@]}"

build=${1:-build/bench}
runs=${2:-5}
other=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/make_full_table" "$work/small.gam"
"$build/bench/make_full_table" "$work/large.gam" 10

median() {
    printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

# run NAME COMMAND...: the median time of the runs (wall, and processor: user + system) into
# $seconds and $cpu, the highest peak into $peak. Each run starts with nothing left to write
# back from the one before, which would slow its own save's sync.
run() {
    local name=$1 times=() cpus=() top=0 s u k kb
    shift
    for ((i = 0; i < runs; ++i)); do
        sync
        /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$work/$name.out" ||
            [ "$name" = check ]
        read -r s u k kb < <(tail -n 1 "$work/time") # after any "Command exited with ..."
        times+=("$s")
        cpus+=("$(awk -v u="$u" -v k="$k" 'BEGIN { print u + k }')")
        ((kb > top)) && top=$kb
    done
    seconds=$(median "${times[@]}")
    cpu=$(median "${cpus[@]}")
    peak=$((top / 1024))
}

# measure VKTABLE LABEL: dump, build and check of both tables.
measure() {
    local vktable=$1 label=$2 size
    echo "$label ($vktable)"
    printf '  %-6s %9s %7s %6s %9s %7s %6s %7s %9s\n' '' '10.5 MB' 'cpu' 'peak' '105 MB' 'cpu' \
        'peak' 'ratio' 'cpu ratio'
    for command in dump build check; do
        for size in small large; do
            case $command in
            dump) run dump "$vktable" dump "$work/$size.gam" -o "$work/$size.$label.json" ;;
            build)
                run build "$vktable" build "$work/$size.$label.json" "$work/$size.built.gam"
                cmp -s "$work/$size.gam" "$work/$size.built.gam" ||
                    { echo "build of $size.gam did not give back its bytes" >&2; exit 1; }
                ;;
            check) run check "$vktable" check "$work/$size.gam"
                   cp "$work/check.out" "$work/$size.$label.check" ;;
            esac
            eval "${size}_s=$seconds ${size}_cpu=$cpu ${size}_mb=$peak"
        done
        printf '  %-6s %7.2f s %5.2f s %3d MB %7.2f s %5.2f s %3d MB %6.1fx %8.1fx\n' "$command" \
            "$small_s" "$small_cpu" "$small_mb" "$large_s" "$large_cpu" "$large_mb" \
            "$(awk -v a="$large_s" -v b="$small_s" 'BEGIN { print a / b }')" \
            "$(awk -v a="$large_cpu" -v b="$small_cpu" 'BEGIN { print a / b }')"
    done
}

measure "$build/tools/vktable/vktable" this
echo "  goals: dump and build at most 12x and 256 MB at 105 MB; check at most 12x"
if [ -n "$other" ]; then
    measure "$other" other
    for size in small large; do
        cmp -s "$work/$size.this.json" "$work/$size.other.json" ||
            { echo "dump of $size.gam differs between the two builds" >&2; exit 1; }
        cmp -s "$work/$size.this.check" "$work/$size.other.check" ||
            { echo "check of $size.gam differs between the two builds" >&2; exit 1; }
    done
    echo "dump and check output are the same bytes in both builds"
fi
