#!/usr/bin/env bash
# Runs one fuzz target of the fuzz preset's build for a bounded time (or
# number of runs), starting from the committed seeds; exits non-zero on a
# finding, whose reproducer is written to fuzz/crashes/.
#   fuzz/run.sh TARGET [SECONDS] [extra libFuzzer options...]
# e.g. fuzz/run.sh fuzz_message 60;  fuzz/run.sh fuzz_cache 0 -runs=1000000
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: fuzz/run.sh TARGET [SECONDS] [libFuzzer options...]}"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))
binary="$root/build/fuzz/fuzz/$target"
[ -x "$binary" ] || { echo "no $binary: cmake --preset fuzz && cmake --build --preset fuzz" >&2; exit 2; }
# New inputs go to the build tree, never into the committed seeds.
work="$root/build/fuzz/corpus/$target"
mkdir -p "$work" "$root/fuzz/crashes"
limit=()
[ "$seconds" != 0 ] && limit=("-max_total_time=$seconds")
exec "$binary" "${limit[@]}" -print_final_stats=1 -timeout=10 \
  -artifact_prefix="$root/fuzz/crashes/$target-" "$@" "$work" "$root/fuzz/corpus/$target"
