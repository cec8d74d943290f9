#!/usr/bin/env bash
# Line and branch coverage of lib/ by the test suite: builds the coverage
# preset (gcov instrumentation), runs its tests, and prints the per-file
# figures and a summary line. Exits non-zero when a test fails or, with
# --check, when lib/ is below 95% of lines or 85% of branches.
#   cmake/coverage.sh [--check]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/coverage"
check=false
[ "${1:-}" = "--check" ] && check=true

cmake --preset coverage -S "$root" >/dev/null
cmake --build --preset coverage
# Counters from an earlier run would add to this one.
find "$build" -name '*.gcda' -delete
(cd "$root" && ctest --preset coverage) >"$build/coverage-tests.log" 2>&1 ||
  { tail -40 "$build/coverage-tests.log"; echo "coverage: tests failed" >&2; exit 1; }

if command -v gcovr >/dev/null; then
  # Branches the compiler adds for exception unwinding are not the code's
  # own decisions and are left out. Counters that threads updated at once
  # can come out garbled (a negative count); such lines are skipped, and
  # reported, rather than ending the report.
  gcovr=(gcovr --root "$root" --filter "$root/lib/" --object-directory "$build"
         --gcov-ignore-parse-errors
         --exclude-directories "$build/CMakeFiles/[0-9.]+"
         --exclude-throw-branches --exclude-unreachable-branches)
  "${gcovr[@]}" "$build" | sed -n '/^File/,/^TOTAL/p'
  "${gcovr[@]}" --branches "$build" | sed -n '/^File/,/^TOTAL/p'
  summary="$("${gcovr[@]}" --print-summary --output /dev/null "$build")"
  line="$(echo "$summary" | sed -n 's/^lines: \([0-9.]*\)%.*/\1/p')"
  branch="$(echo "$summary" | sed -n 's/^branches: \([0-9.]*\)%.*/\1/p')"
else
  # gcov alone: sum "Lines executed" and "Taken at least once" over lib/.
  # This counts every branch, the compiler's exception paths included, and
  # the lines of an inline header once per file that uses it: its figures
  # are lower than gcovr's (install gcovr for the figures --check expects).
  summary="$(cd "$build" && find . -name '*.gcda' -path '*kxli.dir/lib/*' -o -name '*.gcda' \
    -path '*kxecs.dir/lib/*' | xargs gcov -b -n 2>/dev/null | awk -v lib="$root/lib/" '
      /^File / { file = $2; gsub(/\x27/, "", file); mine = index(file, lib) == 1 }
      mine && /^Lines executed:/ { split($2, p, ":"); split(p[2], q, "%");
        n = $NF; lt += n; lc += n * q[1] / 100 }
      mine && /^Taken at least once:/ { split($4, p, ":"); split(p[2], q, "%");
        n = $NF; bt += n; bc += n * q[1] / 100 }
      END { printf "%.1f %.1f\n", lt ? 100 * lc / lt : 0, bt ? 100 * bc / bt : 0 }')"
  line="${summary% *}"
  branch="${summary#* }"
fi
echo "coverage of lib/: lines ${line}%, branches ${branch}%"
if $check; then
  awk -v l="$line" -v b="$branch" 'BEGIN { exit !(l >= 95 && b >= 85) }' ||
    { echo "coverage: below 95% of lines or 85% of branches" >&2; exit 1; }
fi
