#!/bin/sh
# Whole-process "vktable resave" of the full-capacity table against "cp" then "sync" of the
# same file, run in pairs; prints each median and the median of the paired ratios.
# Usage: bench/resave_vs_copy.sh BUILD_DIR [RUNS] [TABLE]
# Without TABLE, table_bench's full table is used twice: as generated (records in random
# order) and as vktable saved it (records in list order).
set -eu
build=$1
runs=${2:-21}
vktable=${VKTABLE:-$build/tools/vktable/vktable}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

now() { date +%s%N; }

compare() {
    table=$1
    : >"$scratch/pairs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        sync
        t0=$(now)
        "$vktable" resave "$table" "$scratch/resaved.gam" >/dev/null
        t1=$(now)
        cp "$table" "$scratch/copied.gam"
        sync "$scratch/copied.gam"
        t2=$(now)
        echo "$((t1 - t0)) $((t2 - t1))" >>"$scratch/pairs"
        i=$((i + 1))
    done
    cmp -s "$table" "$scratch/resaved.gam" || [ -n "${2:-}" ] || echo "(resave changed the order)"
    awk '{ r[NR] = $1 / $2; a[NR] = $1; b[NR] = $2 }
        function median(x, n,   i, j, t) {
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (x[j] < x[i]) { t = x[i]; x[i] = x[j]; x[j] = t }
            return n % 2 ? x[(n + 1) / 2] : (x[n / 2] + x[n / 2 + 1]) / 2
        }
        END { printf "resave %.1f ms, cp+sync %.1f ms, median ratio %.2fx over %d pairs\n",
              median(a, NR) / 1e6, median(b, NR) / 1e6, median(r, NR), NR }' "$scratch/pairs"
}

if [ $# -ge 3 ]; then
    compare "$3" given
else
    VK_BENCH_KEEP_TABLE="$scratch/full.gam" QT_QPA_PLATFORM=offscreen \
        "$build/bench/table_bench" >/dev/null
    printf 'records in random order: '
    compare "$scratch/full.gam" given
    "$vktable" resave "$scratch/full.gam" "$scratch/inorder.gam" >/dev/null
    printf 'records as vktable saved them: '
    compare "$scratch/inorder.gam"
fi
