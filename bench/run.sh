#!/usr/bin/env bash
# Benchmark of fleetjudge at its input limits: run as `bench/run.sh`.
#
# Builds the Release checker, generates the inputs into bench/out/ (see
# bench/generate.cpp), checks their verdicts, then times the checker against a
# reference command that only reads the same files, running the two
# alternately in one loop, and measures peak resident memory. Prints a table;
# docs/performance.md explains it.
#
# Environment: BENCH_REPS  repetitions per timing (default 9, median reported)
#              BENCH_KEEP  1 keeps the 1 GB solution in bench/out/ (default: deleted)
#              BENCH_BASELINE  an earlier build of fleetjudge, timed beside this one
#                          on the same files in the same loop
#              FLEETJUDGE_DATA  the benchmark data for fleetjudge-batch's timings
#                          (default: ../shared/data beside the project; they are
#                          left out when it is absent)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=$here/out
reps=${BENCH_REPS:-9}
keep=${BENCH_KEEP:-0}
bin=$root/build/fleetjudge
report=$root/build/fleetjudge-report
batch=$root/build/fleetjudge-batch
data=${FLEETJUDGE_DATA:-$root/../shared/data}
started=$SECONDS

mkdir -p "$out"
cd "$root"

echo "== build (Release)"
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release &&
       cmake --build build -j2 --target fleetjudge fleetjudge-report fleetjudge-batch; } >"$out/build.log" 2>&1; then
  cat "$out/build.log"
  exit 1
fi
g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -o "$out/generate" "$here/generate.cpp"
g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -o "$out/timeit" "$here/timeit.cpp"

echo "== generate inputs into bench/out/"
"$out/generate" "$out"
inst=$out/instance.txt

# The verdicts must be the expected ones, or the timings measure something else.
expect() { # solution status text
  local got status=0
  got=$("$bin" "$inst" "$out/$1") || status=$?
  if [[ $status != "$2" || $got != "$3" ]]; then
    printf 'unexpected verdict on %s: status %s, output:\n%s\n' "$1" "$status" "$got" >&2
    exit 1
  fi
}
expect a.sol 0 OK
expect b.sol 0 OK
expect b-1m-short.sol 0 OK
expect b-1m-long.sol 0 OK
expect c.sol 1 "the instance seems feasible, but solution file claimed infeasible"
echo "verdicts: a, b, b-1m-short, b-1m-long OK (status 0); c feasible-but-claimed-infeasible (status 1)"

size() { stat -c %s "$1"; }
human() { awk -v b="$1" 'BEGIN { if (b >= 1e9) printf "%.2f GB", b / 1e9;
                                 else if (b >= 1e6) printf "%.2f MB", b / 1e6;
                                 else printf "%.0f KB", b / 1e3 }'; }

echo "== machine"
echo "nproc $(nproc); $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'); $(uname -sr)"
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
if perf stat -x, -e instructions true 2>&1 >/dev/null | grep -q '^[0-9]'; then
  echo "perf: hardware counters available"
else
  echo "perf: hardware counters not available here (perf stat -e instructions: not supported)"
fi

# Warm the page cache: every later run reads from memory.
cat "$inst" "$out"/*.sol >/dev/null
cat "$inst" "$out"/*.sol >/dev/null

# timing BATCH SOLUTION REFERENCE_COMMAND...: times the checker on the instance and
# SOLUTION against the reference command, alternately; sets T_CHK, T_CHKMIN,
# C_CHK (checker) and T_REF, T_REFMIN (reference), all in ms.
timing() {
  local batch=$1 sol=$2
  shift 2
  local lines
  mapfile -t lines < <("$out/timeit" "$reps" "$batch" "$bin" "$inst" "$out/$sol" :: "$@")
  [[ ${#lines[@]} == 2 ]] || { echo "timeit failed" >&2; exit 1; }
  read -r T_CHK T_CHKMIN C_CHK _ <<<"${lines[0]}"
  read -r T_REF T_REFMIN _ _ <<<"${lines[1]}"
}

# Peak resident set size in KiB and minor page faults of one command, each the
# median of 5 runs (both move by a few pages from run to run).
mem() {
  local _
  for _ in 1 2 3 4 5; do
    { /usr/bin/time -v "$@" 2>&1 >/dev/null || true; } |
      awk '/Maximum resident set size/ { r = $NF } /Minor .*page faults/ { f = $NF }
           END { print r, f }'
  done >"$out/mem.txt"
  echo "$(cut -d' ' -f1 "$out/mem.txt" | sort -n | sed -n 3p)" \
    "$(cut -d' ' -f2 "$out/mem.txt" | sort -n | sed -n 3p)"
}

rows=()
row() { # case input reference target_ratio (or -) command...
  local name=$1 input=$2 ref=$3 target=$4 ratio verdict rss flt
  shift 4
  read -r rss flt <<<"$(mem "$@")"
  ratio=$(awk -v a="$T_CHK" -v b="$T_REF" 'BEGIN { printf "%.2f", a / b }')
  if [[ $target == - ]]; then
    verdict=-
  else
    verdict=$(awk -v r="$ratio" -v t="$target" 'BEGIN { print (r <= t ? "met" : "MISSED") }')
    target="<=$target"
  fi
  rows+=("$(printf '%-11s %-9s %8.1f %8.1f %8.1f  %-20s %8.1f %8.1f %6sx %-6s %-6s %7s %6s' \
    "$name" "$input" "$T_CHK" "$T_CHKMIN" "$C_CHK" "$ref" "$T_REF" "$T_REFMIN" "$ratio" \
    "$target" "$verdict" "$rss" "$flt")")
}

echo "== timing ($reps alternating repetitions each; small cases in batches of 20 runs)"
both=$(( $(size "$inst") + $(size "$out/a.sol") ))
timing 20 a.sol cat "$inst" "$out/a.sol"
row "a (valid)" "$(human $both)" "cat instance a.sol" 1.5 "$bin" "$inst" "$out/a.sol"

timing 1 b.sol wc -l "$out/b.sol"
row "b (1 GB)" "$(human "$(size "$out/b.sol")")" "wc -l b.sol" 1.0 "$bin" "$inst" "$out/b.sol"

# The 1 MB variants are there for their memory; their times are dominated by
# start-up and the instance, so the reference reads the instance too.
timing 20 b-1m-short.sol wc -l "$inst" "$out/b-1m-short.sol"
row "b-1m-short" "$(human "$(size "$out/b-1m-short.sol")")" "wc -l inst b-1m-short" - \
  "$bin" "$inst" "$out/b-1m-short.sol"

timing 20 b-1m-long.sol wc -l "$inst" "$out/b-1m-long.sol"
row "b-1m-long" "$(human "$(size "$out/b-1m-long.sol")")" "wc -l inst b-1m-long" - \
  "$bin" "$inst" "$out/b-1m-long.sol"

timing 20 c.sol cat "$inst" "$out/c.sol"
row "c (-1)" "$(human "$(size "$inst")")" "cat instance c.sol" 1.5 "$bin" "$inst" "$out/c.sol"

# The report against the checker itself, on the same files: text, then JSON.
report_rows=()
report_row() { # case solution batch target [--json]
  local name=$1 sol=$2 batch=$3 target=$4 lines ratio rss
  shift 4
  mapfile -t lines < <("$out/timeit" "$reps" "$batch" "$report" "$@" "$inst" "$out/$sol" :: \
    "$bin" "$inst" "$out/$sol")
  [[ ${#lines[@]} == 2 ]] || { echo "timeit failed" >&2; exit 1; }
  read -r T_REP _ _ _ <<<"${lines[0]}"
  read -r T_CHK2 _ _ _ <<<"${lines[1]}"
  ratio=$(awk -v a="$T_REP" -v b="$T_CHK2" 'BEGIN { printf "%.2f", a / b }')
  read -r rss _ <<<"$(mem "$report" "$@" "$inst" "$out/$sol")"
  report_rows+=("$(printf '%-16s %8.1f %8.1f %6sx %-6s %-6s %7s' "$name${1:+ $1}" "$T_REP" "$T_CHK2" \
    "$ratio" "${target:+<=$target}" \
    "$(awk -v r="$ratio" -v t="${target:-0}" 'BEGIN { print t == 0 ? "-" : (r <= t ? "met" : "MISSED") }')" \
    "$rss")")
}
report_row "a (valid)" a.sol 20 2.0
report_row "a (valid)" a.sol 20 "" --json
report_row "b (1 GB)" b.sol 1 1.5
report_row "b (1 GB)" b.sol 1 "" --json

# The checker against an earlier build of itself, alternately in one loop.
base_rows=()
base_row() { # case solution batch
  local lines ratio
  mapfile -t lines < <("$out/timeit" "$reps" "$3" "$bin" "$inst" "$out/$2" :: \
    "$BENCH_BASELINE" "$inst" "$out/$2")
  [[ ${#lines[@]} == 2 ]] || { echo "timeit failed" >&2; exit 1; }
  read -r T_NEW _ _ _ <<<"${lines[0]}"
  read -r T_OLD _ _ _ <<<"${lines[1]}"
  ratio=$(awk -v a="$T_NEW" -v b="$T_OLD" 'BEGIN { printf "%.3f", a / b }')
  base_rows+=("$(printf '%-11s %8.1f %8.1f %7sx %-6s %7s %7s' "$1" "$T_NEW" "$T_OLD" "$ratio" \
    "$(awk -v r="$ratio" 'BEGIN { print r <= 1.05 ? "met" : "MISSED" }')" \
    "$(mem "$bin" "$inst" "$out/$2" | cut -d' ' -f1)" \
    "$(mem "$BENCH_BASELINE" "$inst" "$out/$2" | cut -d' ' -f1)")")
}
if [[ -n ${BENCH_BASELINE:-} ]]; then
  base_row "a (valid)" a.sol 20
  base_row "b (1 GB)" b.sol 1
  base_row "c (-1)" c.sol 20
fi

# A VRPLIB instance and its .sol against the same instance's text file and
# plain route list (C1_10_1, from the benchmark data beside the project).
vrplib_row=
if [[ -f $data/vrplib/C1_10_1.vrp && -f $data/instances/C1_10_1.txt ]]; then
  mapfile -t lines < <("$out/timeit" "$((reps > 15 ? reps : 15))" 5 "$report" --json \
    "$data/vrplib/C1_10_1.vrp" "$data/vrplib/C1_10_1.sol" :: "$report" --json \
    "$data/instances/C1_10_1.txt" "$data/routes/C1_10_1.routes")
  read -r T_VRP _ _ _ <<<"${lines[0]}"
  read -r T_TXT _ _ _ <<<"${lines[1]}"
  vrplib_row=$(awk -v a="$T_VRP" -v b="$T_TXT" 'BEGIN { r = a / b;
    printf "C1_10_1: .vrp and .sol %.2f ms, text and plain list %.2f ms: %.2fx (<= 1.2 %s)",
           a, b, r, r <= 1.2 ? "met" : "MISSED" }')
fi
# X-n1001-k43 with every coordinate written with five decimals (12.00000),
# against the original file: reading decimals may cost at most a fifth more.
decimals_row=
if [[ -f $data/vrplib/X-n1001-k43.vrp ]]; then
  awk '{ line = $0; cr = sub(/\r$/, "", line) }
    line ~ /SECTION|EOF/ { coordinates = line ~ /^NODE_COORD_SECTION/ }
    coordinates && split(line, f, /[ \t]+/) == 3 && f[1] ~ /^[0-9]+$/ {
      line = f[1] "\t" f[2] ".00000\t" f[3] ".00000" }
    { printf "%s%s\n", line, cr ? "\r" : "" }' "$data/vrplib/X-n1001-k43.vrp" >"$out/X-n1001-k43-decimals.vrp"
  mapfile -t lines < <("$out/timeit" "$((reps > 15 ? reps : 15))" 5 "$report" --json \
    "$out/X-n1001-k43-decimals.vrp" "$data/vrplib/X-n1001-k43.sol" :: "$report" --json \
    "$data/vrplib/X-n1001-k43.vrp" "$data/vrplib/X-n1001-k43.sol")
  read -r T_DEC _ _ _ <<<"${lines[0]}"
  read -r T_INT _ _ _ <<<"${lines[1]}"
  decimals_row=$(awk -v a="$T_DEC" -v b="$T_INT" 'BEGIN { r = a / b;
    printf "X-n1001-k43: five decimals %.2f ms, whole coordinates %.2f ms: %.2fx (<= 1.2 %s)",
           a, b, r, r <= 1.2 ? "met" : "MISSED" }')
fi
# fleetjudge-batch on the published pairs: -j1 against -j2 on the 55 pairs
# listed ten times, -j1 against a shell loop of fleetjudge-report over the
# 55, and peak memory on 1000 copies of the 10000-node pair (a.sol).
# judge() on routes in memory against a bare walk over the same routes, in
# one process (bench/model.cpp): at most 10 times as long.
model_rows=()
g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -I"$root/include" -o "$out/model" "$here/model.cpp" \
  "$root/build/libfleetjudge.a" -lpthread
model_rows+=("10000-node case (a): $("$out/model" "$inst" "$out/a.sol" 41 | tail -1)")
if [[ -f $data/instances/C1_10_1.txt ]]; then
  model_rows+=("C1_10_1 published routes: $("$out/model" "$data/instances/C1_10_1.txt" \
    "$data/routes/C1_10_1.routes" 101 | tail -1)")
fi

# Reading the pickup and delivery layouts in one process (bench/pdptw.cpp):
# a 1000-task Li & Lim file against the Solomon text of the same nodes,
# alternating, medians (at most 1.3 times), and 5001 nodes of Sartori &
# Buriol's, a matrix of 25 million travel times.
g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -I"$root/include" -o "$out/pdptw" "$here/pdptw.cpp" \
  "$root/build/libfleetjudge.a" -lpthread
mapfile -t pdptw_rows < <("$out/pdptw" "$out" 101)
rm -f "$out/bar-n5000-1.txt" # 91 MB

batch_rows=()
batch_row() { # what runs target(>=N or <=N) command... :: command...
  local what=$1 runs=$2 target=$3 lines a b ratio
  shift 3
  mapfile -t lines < <("$out/timeit" "$reps" "$runs" "$@")
  [[ ${#lines[@]} == 2 ]] || { echo "timeit failed" >&2; exit 1; }
  read -r a _ _ _ <<<"${lines[0]}"
  read -r b _ _ _ <<<"${lines[1]}"
  ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }')
  batch_rows+=("$(printf '%-44s %9.1f %9.1f %6sx %-6s %-6s' "$what" "$a" "$b" "$ratio" "$target" \
    "$(awk -v r="$ratio" -v t="${target:2}" -v op="${target:0:2}" \
       'BEGIN { print ((op == ">=" ? r >= t : r <= t) ? "met" : "MISSED") }')")")
}
if [[ -d $data/instances && -d $data/routes ]]; then
  for f in "$data"/routes/*.routes; do
    printf '%s\t%s\n' "$data/instances/$(basename "$f" .routes).txt" "$f"
  done >"$out/pairs55"
  for _ in 1 2 3 4 5 6 7 8 9 10; do cat "$out/pairs55"; done >"$out/pairs550"
  # The shell loop fleetjudge-batch replaces: one report per pair.
  printf '%s\n' '#!/usr/bin/env bash' \
    "while IFS=\$'\\t' read -r i s; do '$report' --json \"\$i\" \"\$s\"; done <'$out/pairs55'" \
    'exit 0' >"$out/report-loop.sh"
  chmod +x "$out/report-loop.sh"
  cat "$data"/instances/* "$data"/routes/* >/dev/null
  echo "== fleetjudge-batch ($(wc -l <"$out/pairs55") pairs from $data;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg))"
  batch_row "-j1 against -j2, 550 pairs, csv" 3 ">=1.6" \
    "$batch" -q -j1 --format=csv --pairs "$out/pairs550" :: \
    "$batch" -q -j2 --format=csv --pairs "$out/pairs550"
  batch_row "-j1 jsonl --routes against a report loop" 1 "<=1.0" \
    "$batch" -q -j1 --format=jsonl --routes --pairs "$out/pairs55" :: "$out/report-loop.sh"
  batch_row "-j1 csv against a report loop" 1 "<=1.0" \
    "$batch" -q -j1 --format=csv --pairs "$out/pairs55" :: "$out/report-loop.sh"
fi
for _ in $(seq 1000); do printf '%s\t%s\n' "$inst" "$out/a.sol"; done >"$out/pairs-a1000"
batch_rss=$(mem "$batch" -q -j2 --format=csv --pairs "$out/pairs-a1000" | cut -d' ' -f1)
batch_rss_jsonl=$(mem "$batch" -q -j2 --format=jsonl --routes --pairs "$out/pairs-a1000" |
  cut -d' ' -f1)

# The cost of starting a process at all, for reading the small cases: the
# checker with no arguments prints its usage line and stops.
lines=()
mapfile -t lines < <("$out/timeit" "$reps" 20 "$bin" :: cat /dev/null :: true)
read -r T_START _ C_START _ <<<"${lines[0]}"
read -r T_CAT0 _ _ _ <<<"${lines[1]}"
read -r T_TRUE _ _ _ <<<"${lines[2]}"

echo
printf '%-11s %-9s %8s %8s %8s  %-20s %8s %8s %7s %-6s %-6s %7s %6s\n' \
  case input "chk med" "chk min" "chk cpu" reference "ref med" "ref min" ratio target result \
  "RSS KiB" minflt
printf '%s\n' "${rows[@]}"
echo "(times in ms: median and minimum wall time, median user+sys CPU time of the checker;"
echo " ratio = checker median / reference median; RSS KiB and minflt: peak resident set and"
echo " minor page faults of the checker, median of 5 runs under /usr/bin/time -v)"
echo
echo
printf '%-16s %8s %8s %7s %-6s %-6s %7s\n' "report on" "rep med" "chk med" ratio target result \
  "RSS KiB"
printf '%s\n' "${report_rows[@]}"
echo "(fleetjudge-report against fleetjudge on the same files, medians in ms; RSS of the report)"
[[ -n $vrplib_row ]] && { echo; echo "$vrplib_row (report --json, medians of paired runs)"; }
[[ -n $decimals_row ]] && echo "$decimals_row (report --json, medians of paired runs)"
echo
echo "the model: judge(instance, routes) against a bare walk (same process, alternating rounds, medians):"
printf '  %s\n' "${model_rows[@]}"
echo
echo "reading pickup and delivery instances (Instance::read, same process, alternating, medians):"
printf '  %s\n' "${pdptw_rows[@]}"
echo
if ((${#batch_rows[@]})); then
  printf '%-44s %9s %9s %7s %-6s %-6s\n' "fleetjudge-batch" "1st med" "2nd med" ratio target result
  printf '%s\n' "${batch_rows[@]}"
  echo "(medians in ms of the two commands run alternately; ratio = first / second)"
fi
echo "fleetjudge-batch -j2 on 1000 copies of (a): peak RSS $batch_rss KiB with csv," \
  "$batch_rss_jsonl KiB with jsonl --routes (target < 65536 KiB: $(awk -v r="$batch_rss" \
  -v s="$batch_rss_jsonl" 'BEGIN { print (r < 65536 && s < 65536 ? "met" : "MISSED") }'))"
if ((${#base_rows[@]})); then
  echo
  printf '%-11s %8s %8s %8s %-6s %7s %7s\n' "against" "new med" "old med" ratio "<=1.05" \
    "new RSS" "old RSS"
  printf '%s\n' "${base_rows[@]}"
  echo "(this checker against $BENCH_BASELINE, medians in ms, RSS in KiB)"
fi
echo
echo "process start-up alone (ms, median): fleetjudge with no arguments $T_START (cpu $C_START);" \
  "cat /dev/null $T_CAT0; true $T_TRUE"
echo "references, RSS KiB and minflt: cat instance a.sol $(mem cat "$inst" "$out/a.sol");" \
  "wc -l b.sol $(mem wc -l "$out/b.sol")"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"

# ---------------------------------------------------------------------------
# fleetjudge-score: a timeline of 100,000 solutions against the library
# alone, -j1 against -j2, and memory on 1,000,000 lines (bench/score.sh).
echo
"$here/score.sh"

if [[ $keep != 1 ]]; then
  rm -f "$out/b.sol"
  echo "deleted bench/out/b.sol (1 GB); BENCH_KEEP=1 keeps it"
fi
echo "run time: $((SECONDS - started)) s"
