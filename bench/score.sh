#!/usr/bin/env bash
# fleetjudge-score against its limits: run as `bench/score.sh` (bench/run.sh
# runs it too, at its end).
#
# Makes a timeline of 100,000 solutions of the 100-customer Solomon
# instances, routes inline (bench/score.cpp), then in one loop, alternately:
# fleetjudge-score -j1 on it, the library alone judging the same solutions
# (each instance read once, routes in memory, no JSON), and fleetjudge-score
# -j2. Prints the medians and the two ratios, and beside them what two
# processes gain on this machine at all (two halves of the library's work at
# once against one after the other); then the peak memory of
# fleetjudge-score on a timeline of 1,000,000 lines from a pipe.
#
# Environment: BENCH_SCORE_ROUNDS  rounds of the loop (default 5)
#              BENCH_SCORE_LINES   lines of the timed timeline (default 100000)
#              BENCH_SCORE_MEMORY  lines of the memory run (default 1000000; 0: none)
#              FLEETJUDGE_DATA     the benchmark data (default ../shared/data)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=$here/out
data=${FLEETJUDGE_DATA:-$root/../shared/data}
rounds=${BENCH_SCORE_ROUNDS:-5}
lines=${BENCH_SCORE_LINES:-100000}
memory_lines=${BENCH_SCORE_MEMORY:-1000000}
score=$root/build/fleetjudge-score
mkdir -p "$out"
cd "$root"

if [[ ! -f $data/routes/C101.routes ]]; then
  echo "bench/score.sh: no benchmark data in $data (FLEETJUDGE_DATA), nothing timed" >&2
  exit 0
fi
echo "== fleetjudge-score: build (Release)"
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release &&
       cmake --build build -j2 --target fleetjudge-score fleetjudge_static; } >"$out/score-build.log" 2>&1; then
  cat "$out/score-build.log"
  exit 1
fi
g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -Iinclude -o "$out/score" "$here/score.cpp" \
  build/libfleetjudge.a -lpthread

timeline=$out/score-timeline.jsonl
"$out/score" generate "$data" "$lines" >"$timeline"
echo "timeline: $lines lines, $(($(stat -c %s "$timeline") / lines)) bytes a line on average;" \
  "$(grep -c '' <"$timeline") lines written"
cat "$data"/instances/*.txt "$timeline" >/dev/null # in the page cache

echo "nproc $(nproc); load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
now() { date +%s.%N; }
# Status 1 is expected (some solutions are infeasible); 2 is a failure.
# Each run's user+sys seconds go to $out/score-cpu-jN.txt: with other work on
# the machine, they show whether the threads share the work even where the
# wall time cannot.
scored() { # -jN output
  local status=0
  /usr/bin/time -f "%U %S" -a -o "$out/score-cpu$1.txt" \
    "$score" "$1" --instances "$data/instances" --time-limit 70 --format=csv "$timeline" \
    >"$2" 2>"$out/score-stderr.txt" || status=$?
  ((status < 2)) || { cat "$out/score-stderr.txt" >&2; exit 1; }
}
rm -f "$out"/score-cpu-j*.txt
j1=() j2=() lib=()
for ((r = 1; r <= rounds; ++r)); do
  a=$(now)
  scored -j1 "$out/score-j1.csv"
  b=$(now)
  read -r seconds _ < <("$out/score" library "$data" "$lines")
  c=$(now)
  scored -j2 "$out/score-j2.csv"
  d=$(now)
  j1+=("$(awk -v a="$a" -v b="$b" 'BEGIN { print b - a }')")
  lib+=("$seconds")
  j2+=("$(awk -v c="$c" -v d="$d" 'BEGIN { print d - c }')")
  echo "round $r: -j1 ${j1[-1]} s, library ${lib[-1]} s (process $(awk -v b="$b" -v c="$c" \
    'BEGIN { print c - b }') s), -j2 ${j2[-1]} s; load $(cut -d' ' -f1 /proc/loadavg)"
done
cmp -s "$out/score-j1.csv" "$out/score-j2.csv" || { echo "-j1 and -j2 disagree" >&2; exit 1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
m1=$(median "${j1[@]}") m2=$(median "${j2[@]}") ml=$(median "${lib[@]}")
awk -v a="$m1" -v l="$ml" -v b="$m2" -v n="$lines" 'BEGIN {
  printf "medians: fleetjudge-score -j1 %.3f s (%.1f us a line), library alone %.3f s (%.1f us), -j2 %.3f s\n",
         a, a / n * 1e6, l, l / n * 1e6, b
  printf "-j1 / library: %.2fx (target <= 3: %s)\n", a / l, (a / l <= 3 ? "met" : "MISSED")
  printf "-j1 / -j2: %.2fx (target >= 1.5 on an idle machine: %s)\n", a / b, (a / b >= 1.5 ? "met" : "MISSED")
}'
cpu() { awk '/^[0-9]/ { print $1 + $2 }' "$out/score-cpu$1.txt" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
awk -v a="$(cpu -j1)" -v b="$(cpu -j2)" -v w1="$m1" -v w2="$m2" 'BEGIN {
  printf "user+sys medians: -j1 %.3f s (%.2f of a processor), -j2 %.3f s (%.2f processors)\n",
         a, a / w1, b, b / w2 }'
# What two threads can gain here at all: two independent halves of the
# library's work, one after the other against both at once.
apart=() together=()
for ((r = 1; r <= 3; ++r)); do
  a=$(now)
  "$out/score" library "$data" $((lines / 2)) >/dev/null
  "$out/score" library "$data" $((lines / 2)) >/dev/null
  b=$(now)
  "$out/score" library "$data" $((lines / 2)) >/dev/null &
  "$out/score" library "$data" $((lines / 2)) >/dev/null
  wait
  c=$(now)
  apart+=("$(awk -v a="$a" -v b="$b" 'BEGIN { print b - a }')")
  together+=("$(awk -v b="$b" -v c="$c" 'BEGIN { print c - b }')")
done
awk -v a="$(median "${apart[@]}")" -v b="$(median "${together[@]}")" 'BEGIN {
  printf "the machine: two halves of the library run one after the other %.3f s, at once %.3f s: %.2fx\n",
         a, b, a / b }'
echo "load average after the loop: $(cut -d' ' -f1-3 /proc/loadavg)"

if ((memory_lines > 0)); then
  rss=$({ "$out/score" generate "$data" "$memory_lines" |
          /usr/bin/time -v "$score" -j2 --instances "$data/instances" --time-limit 60 \
            --format=csv - >/dev/null || true; } 2>&1 | awk '/Maximum resident set size/ { print $NF }')
  echo "peak memory on $memory_lines lines from a pipe, -j2: $rss KiB" \
    "(target < 262144 KiB: $( ((rss < 262144)) && echo met || echo MISSED))"
fi
rm -f "$timeline"
