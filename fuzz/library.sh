#!/usr/bin/env bash
# In-process fuzzing of the library with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#
#   fuzz/library.sh check SECONDS    fleetjudge::check on instance and solution
#   fuzz/library.sh report SECONDS   fleetjudge::report, in every solution format
#   fuzz/library.sh vrplib SECONDS   fleetjudge::report on VRPLIB instances, in every
#                                    convention
#   fuzz/library.sh read SECONDS     fleetjudge::Instance::read and its accessors
#   fuzz/library.sh judge SECONDS    fleetjudge::judge on a solution's bytes and on
#                                    routes decoded from them, against report()
#
# Needs clang and libFuzzer (Debian: apt-get install clang libfuzzer-14-dev).
# Builds into build-libfuzz/, seeds fuzz/corpus-lib-TARGET/ from the test
# cases (each instance and solution joined by a line "===="), runs for SECONDS
# and writes any finding to fuzz/findings-lib-TARGET/. Prints the figures.
set -euo pipefail
target=${1:-}
seconds=${2:-}
if ! [[ $target =~ ^(check|report|vrplib|read|judge)$ && $seconds =~ ^[1-9][0-9]*$ ]]; then
  sed -n '5,16p' "$0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-libfuzz-$target
corpus=$root/fuzz/corpus-lib-$target
findings=$root/fuzz/findings-lib-$target

flags='-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link'
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DFLEETJUDGE_STATIC=OFF -DFLEETJUDGE_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target "fuzz_$target" -j2 >/dev/null

rm -rf "$corpus" "$findings"
mkdir -p "$corpus" "$findings"
seed() { # instance solution
  local file
  file=$(mktemp)
  { cat "$1"; printf '\n====\n'; cat "$2"; } >"$file"
  mv "$file" "$corpus/$(sha1sum <"$file" | cut -c1-16)"
}
if [[ $target != check && $target != report ]]; then
  # Small VRPLIB files of every kind the reader knows, and the smallest
  # published sample where the data folder is at hand.
  small=$(mktemp -d)
  printf 'NAME : e\nTYPE : CVRP\nDIMENSION : 3\nCAPACITY : 5\nEDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : LOWER_ROW\nEDGE_WEIGHT_SECTION\n5\n10 5.5\nDEMAND_SECTION\n1 0\n2 1\n3 2\nDEPOT_SECTION\n1\n-1\nEOF\n' >"$small/e.vrp"
  printf 'NAME : w\r\nTYPE : VRPTW\r\nDIMENSION : 3\r\nVEHICLES : 2\r\nCAPACITY : 5\r\nSERVICE_TIME : 1\r\nEDGE_WEIGHT_TYPE : EUC_2D\r\nNODE_COORD_SECTION\r\n1 0 0\r\n2 3 4\r\n3 6 8\r\nDEMAND_SECTION\r\n1 0\r\n2 1\r\n3 2\r\nTIME_WINDOW_SECTION\r\n1 0 100\r\n2 0 10\r\n3 5 20\r\nSERVICE_TIME_SECTION\r\n1 0\r\n2 2\r\n3 1\r\nEOF\r\n' >"$small/w.vrp"
  # The classic capacitated layout: decimal coordinates, a route length limit
  # with service times, or one on the travel alone.
  printf 'NAME : c\nTYPE : CVRP\nDIMENSION : 3\nEDGE_WEIGHT_TYPE : EUC_2D\nCAPACITY : 5\nDISTANCE : 30.00000\nSERVICE_TIME : 10.0\nNODE_COORD_SECTION\n1 30.00000 40.00000\n2 -1.5 2.000000001\n3 1000000.0 -999999.999999999\nDEMAND_SECTION\n1 0\n2 1\n3 2\nDEPOT_SECTION\n1\n-1\nEOF\n' >"$small/c.vrp"
  printf 'NAME : g\nDIMENSION : 3\nCAPACITY : 5\nVEHICLES_MAX_DISTANCE : 12.5\nNODE_COORD_SECTION\n1 0 0\n2 1.5 2\n3 -1.5 -2\nDEMAND_SECTION\n1 0\n2 1\n3 2\nSERVICE_TIME_SECTION\n1 0\n2 1\n3 1\nEOF\n' >"$small/g.vrp"
  printf 'Route #1: 1 2\nCost 20\n' >"$small/r.sol"
  printf '2 1\n' >"$small/p.sol"
  for vrp in "$small"/*.vrp; do seed "$vrp" "$small/r.sol"; seed "$vrp" "$small/p.sol"; done
  data=${FLEETJUDGE_DATA:-$root/../shared/data}/vrplib
  [[ -f $data/X-n101-k25.vrp ]] && seed "$data/X-n101-k25.vrp" "$data/X-n101-k25.sol"
  classic=${FLEETJUDGE_DATA:-$root/../shared/data}/classic
  [[ -f $classic/CMT6.vrp ]] && seed "$classic/CMT6.vrp" "$classic/CMT6.sol"
  rm -rf "$small"
fi
if [[ $target == read || $target == judge ]]; then
  # Pickup and delivery in both layouts: Li & Lim's with tabs, speed 0 and
  # CR LF; Sartori & Buriol's with keys in another order and odd spacing.
  # `read` gets each instance alone too: it reads the whole input.
  pd=$(mktemp -d)
  printf '2\t10\t0\n0\t0\t0\t0\t0\t100\t0\t0\t0\n1\t3\t4\t3\t0\t50\t2\t0\t2\n2\t6\t8\t-3\t0\t60\t2\t1\t0\n3\t-6\t8\t5\t0\t90\t1\t0\t4\n4\t0\t9\t-5\t0\t90\t1\t3\t0\n' >"$pd/lc.txt"
  printf '3 20 1\r\n 0 35 35 0 0 230 0 0 0\r\n1 41 49 10 161 171 10 0 2\r\n2 35 17 -10 50 60 10 1 0\r\n' >"$pd/lr.txt"
  printf 'NAME: toy-n4\nLOCATION: nowhere\nCOMMENT: by hand\nTYPE: PDPTW\nSIZE: 5\nDISTRIBUTION: random\nDEPOT: central\nROUTE-TIME: 100\nTIME-WINDOW: 50\nCAPACITY: 10\nNODES\n0 41.38 2.17 0 0 100 0 0 0\n1 41.39 2.16 3 0 50 2 0 2\n2 41.40 2.18 -3 10 60 2 1 0\n3 41.37 2.19 4 0 80 1 0 4\n4 41.36 2.15 -4 0 90 1 3 0\nEDGES\n0 5 7 9 11\n6 0 3 8 10\n8 4 0 6 12\n10 9 7 0 2\n12 11 13 3 0\nEOF\n' >"$pd/s.txt"
  printf 'CAPACITY :7\r\nSIZE:3\r\nNAME:  x y\r\nNODES\r\n0\t-22.9466784\t-43.1818924\t0\t0\t500\t0\t0\t0\r\n2 -22.95 -43.2 -7 0 400 3 1 0\r\n1 -22.94 -43.18 7 0 300 3 0 2\r\nEDGES\r\n0 2147483647 4\r\n3 0 1\r\n4 5 0\r\n' >"$pd/sc.txt"
  printf '1 2 3 4\n' >"$pd/pd.sol"
  for instance in "$pd"/*.txt; do
    seed "$instance" "$pd/pd.sol"
    if [[ $target == read ]]; then cp "$instance" "$corpus/$(sha1sum <"$instance" | cut -c1-16)"; fi
  done
  rm -rf "$pd"
fi
if [[ $target != vrplib ]]; then
  for dir in "$root"/tests/cases/* "$root"/tests/report-cases/*; do
    [[ -f $dir/instance && -f $dir/solution ]] && seed "$dir/instance" "$dir/solution"
  done
fi
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
