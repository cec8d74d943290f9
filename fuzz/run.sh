#!/usr/bin/env bash
# Runs a target of the fuzz preset's build from the seeds for SECONDS (default
# 60; 0: no limit); a finding's reproducer goes to fuzz/crashes/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: fuzz/run.sh TARGET [SECONDS] [libFuzzer options...]}"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))
binary="$root/build/fuzz/fuzz/$target"
[ -x "$binary" ] || { echo "no $binary: cmake --workflow --preset fuzz" >&2; exit 2; }
mkdir -p "$root/build/fuzz/corpus/$target" "$root/fuzz/crashes"
[ "$seconds" = 0 ] || set -- "-max_total_time=$seconds" "$@"
exec "$binary" -print_final_stats=1 -timeout=10 -artifact_prefix="$root/fuzz/crashes/$target-" \
  "$@" "$root/build/fuzz/corpus/$target" "$root/fuzz/corpus/$target"
