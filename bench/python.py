#!/usr/bin/env python3
"""Timings of the Python module, for docs/performance.md.

    bench/python.py BUILD DATA BENCH_OUT

BUILD is a build folder configured with -DFLEETJUDGE_PYTHON=ON (Release),
DATA the real data (../shared/data), BENCH_OUT the folder bench/generate
wrote its inputs into. Run it with the Python the module was built for.

1. fleetjudge.report on C1_10_1's published routes, given in memory, against
   one `fleetjudge-report --json` process on the instance and the route list.
2. 200 fleetjudge.check calls on the 10000-node instance and its full
   solution (a.sol), on a pool of 1 thread and of 2.
Medians of REPS samples (default 21 and 7), the two sides alternating.
"""
import concurrent.futures
import os
import statistics
import subprocess
import sys
import time

build, data, out = sys.argv[1:4]
sys.path.insert(0, os.path.join(build, "python"))
import fleetjudge  # noqa: E402


def timed(call):
    start = time.perf_counter()
    call()
    return time.perf_counter() - start


def medians(calls, reps):
    samples = [[] for _ in calls]
    for _ in range(reps):
        for sample, call in zip(samples, calls):
            sample.append(timed(call))
    return [statistics.median(s) for s in samples]


instance = os.path.join(data, "instances", "C1_10_1.txt")
route_list = os.path.join(data, "routes", "C1_10_1.routes")
with open(route_list) as f:
    routes = [[int(c) for c in line.split()] for line in f if line.strip()]
program = [os.path.join(build, "fleetjudge-report"), "--json", instance, route_list]
assert fleetjudge.report(instance, routes)["summary"]["customers_served"] == 1000
in_memory, process = medians(
    [lambda: fleetjudge.report(instance, routes),
     lambda: subprocess.run(program, stdout=subprocess.PIPE, check=False)],
    int(os.environ.get("REPS", 21)))
print(f"report, C1_10_1: routes in memory {in_memory * 1e3:.2f} ms, "
      f"one fleetjudge-report --json process {process * 1e3:.2f} ms, "
      f"ratio {in_memory / process:.2f}")

big, solution = os.path.join(out, "instance.txt"), os.path.join(out, "a.sol")
assert fleetjudge.check(big, solution).output == "OK\n"


def checks(threads):
    with concurrent.futures.ThreadPoolExecutor(threads) as pool:
        verdicts = list(pool.map(lambda _: fleetjudge.check(big, solution), range(200)))
    assert all(v.status == 0 for v in verdicts)


# CPU time over wall time tells whether the two threads ran at once, or
# whether other load on the machine kept the second one waiting.
busy = {1: [], 2: []}


def checks_busy(threads):
    wall, cpu = time.perf_counter(), time.process_time()
    checks(threads)
    busy[threads].append((time.process_time() - cpu) / (time.perf_counter() - wall))


one, two = medians([lambda: checks_busy(1), lambda: checks_busy(2)],
                   int(os.environ.get("REPS", 7)))
print(f"200 checks, 10000 nodes: 1 thread {one:.3f} s, 2 threads {two:.3f} s, "
      f"speed-up {one / two:.2f}x; CPU time over wall time "
      f"{statistics.median(busy[1]):.2f} and {statistics.median(busy[2]):.2f}")
