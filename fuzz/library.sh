#!/usr/bin/env bash
# In-process fuzzing of the library with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#
#   fuzz/library.sh check SECONDS    fleetjudge::check on instance and solution
#   fuzz/library.sh report SECONDS   fleetjudge::report, in every solution format
#
# Needs clang and libFuzzer (Debian: apt-get install clang libfuzzer-14-dev).
# Builds into build-libfuzz/, seeds fuzz/corpus-lib-TARGET/ from the test
# cases (each instance and solution joined by a line "===="), runs for SECONDS
# and writes any finding to fuzz/findings-lib-TARGET/. Prints the figures.
set -euo pipefail
target=${1:-}
seconds=${2:-}
if ! [[ $target =~ ^(check|report)$ && $seconds =~ ^[1-9][0-9]*$ ]]; then
  sed -n '5,11p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-libfuzz
corpus=$root/fuzz/corpus-lib-$target
findings=$root/fuzz/findings-lib-$target

flags='-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link'
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DFLEETJUDGE_STATIC=OFF -DFLEETJUDGE_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target "fuzz_$target" -j2 >/dev/null

rm -rf "$corpus" "$findings"
mkdir -p "$corpus" "$findings"
for dir in "$root"/tests/cases/* "$root"/tests/report-cases/*; do
  [[ -f $dir/instance && -f $dir/solution ]] || continue
  seed=$(mktemp)
  { cat "$dir/instance"; printf '\n====\n'; cat "$dir/solution"; } >"$seed"
  mv "$seed" "$corpus/$(sha1sum <"$seed" | cut -c1-16)"
done
echo "seeds: $(ls "$corpus" | wc -l) files in $corpus"

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
log=$findings/run.log
status=0
"$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -dict="$root/fuzz/vrptw.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
  "$corpus" >"$log" 2>&1 || status=$?
echo "== library $target, $seconds s, exit $status =="
grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added|stat::peak_rss_mb)' "$log" || true
grep -E '^#[0-9]+ +(DONE|INITED)' "$log" | tail -2 || true
echo "findings: $(find "$findings" -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' | wc -l)"
exit "$status"
