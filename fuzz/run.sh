#!/usr/bin/env bash
# Coverage-guided fuzzing of fleetjudge and fleetjudge-report with AFL++, under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run.sh instance SECONDS   fuzz the instance file; the solution is
#                                  tests/cases/ok/solution
#   fuzz/run.sh solution SECONDS   fuzz the solution file; the instance is
#                                  tests/instances/five.txt
#   fuzz/run.sh report-instance SECONDS, fuzz/run.sh report-solution SECONDS
#                                  the same for fleetjudge-report --json (the
#                                  solution's format found by itself: route
#                                  lists too)
#   fuzz/run.sh report-plain SECONDS
#                                  the solution as a plain list of routes
#
# Needs AFL++ (Debian: apt-get install afl++) and clang. Builds the checker
# into build-fuzz/ (the report into build-fuzz-report/), seeds
# fuzz/corpus-TARGET/ from the test cases, runs
# afl-fuzz for SECONDS with a 1000 ms timeout (a slower run counts as a hang),
# writes fuzz/findings-TARGET/ (an earlier one is moved to
# fuzz/findings-TARGET.prev/) and prints the figures of the run.
set -euo pipefail

target=${1:-}
seconds=${2:-}
if ! [[ $target =~ ^(report-)?(instance|solution)$|^report-plain$ && $seconds =~ ^[1-9][0-9]*$ ]]; then
  sed -n '5,14p' "$0" >&2
  exit 2
fi

root=$(cd "$(dirname "$0")/.." && pwd)
# The file being fuzzed, and the program that reads it with its options.
kind=${target#report-}
if [[ $target == report-plain ]]; then
  kind=solution build=$root/build-fuzz-report program=fleetjudge-report
  options=(--json --solution-format=plain)
elif [[ $target == report-* ]]; then
  build=$root/build-fuzz-report program=fleetjudge-report options=(--json)
else
  build=$root/build-fuzz program=fleetjudge options=()
fi
corpus=$root/fuzz/corpus-$target
findings=$root/fuzz/findings-$target

# 1. The instrumented, sanitized program.
sanitize='-fsanitize=address,undefined -fno-sanitize-recover=all'
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DFLEETJUDGE_STATIC=OFF \
  -DCMAKE_CXX_COMPILER=afl-clang-fast++ -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build "$build" --target "$program" -j2 >/dev/null

# 2. Seeds: every distinct, non-empty file of the kind being fuzzed.
# The report's own cases add solutions with several violations at once.
if [[ $kind == instance ]]; then
  seeds=("$root"/tests/cases/*/instance "$root"/tests/instances/*)
  run=("$build/$program" "${options[@]}" @@ "$root/tests/cases/ok/solution")
else
  seeds=("$root"/tests/cases/*/solution)
  [[ $target == report-* ]] && seeds+=("$root"/tests/report-cases/*/solution)
  run=("$build/$program" "${options[@]}" "$root/tests/instances/five.txt" @@)
fi
rm -rf "$corpus"
mkdir -p "$corpus"
for f in "${seeds[@]}"; do
  if [[ -f $f && -s $f ]]; then cp "$f" "$corpus/$(sha1sum <"$f" | cut -c1-16)"; fi
done
echo "seeds: $(ls "$corpus" | wc -l) distinct files in $corpus"

# 3. The campaign. AFL++ needs a sanitizer to abort, and no symbolizing.
if [[ -d $findings ]]; then rm -rf "$findings.prev" && mv "$findings" "$findings.prev"; fi
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1:symbolize=0
export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
[[ -t 1 ]] || export AFL_NO_UI=1
afl-fuzz -i "$corpus" -o "$findings" -x "$root/fuzz/vrptw.dict" -t 1000 -m none \
  -V "$seconds" -- "${run[@]}" || true

# 4. The figures of the run.
stats=$findings/default/fuzzer_stats
echo "== $target, $seconds s =="
grep -E '^(run_time|execs_done|execs_per_sec|corpus_count|bitmap_cvg|saved_crashes|saved_hangs|afl_version) ' "$stats"
