#!/usr/bin/env python3
"""Timings of the Python module, for docs/performance.md.

    bench/python.py BUILD DATA BENCH_OUT

BUILD is a build folder configured with -DFLEETJUDGE_PYTHON=ON (Release),
DATA the real data (../shared/data), BENCH_OUT the folder bench/generate
wrote its inputs into. Run it with the Python the module was built for.

1. fleetjudge.report on C1_10_1's published routes, given in memory, against
   one `fleetjudge-report --json` process on the instance and the route list.
2. Instance.judge on the same routes, reading .feasible and .distance, against
   fleetjudge.report(path, routes), which reads the instance and the document
   anew each call.
3. 200 fleetjudge.check calls on the 10000-node instance and its full
   solution (a.sol), on a pool of 1 thread and of 2.
4. 200 Instance.judge calls against that instance, read once, with a.sol's
   routes as numpy arrays, on a pool of 1 thread and of 2.
5. The resident memory after 10,000 and after 100,000 judgements against one
   instance, each report's violations and routes read.
Medians of REPS samples (default 51, 21, 7 and 7), the sides alternating.
Each pool's line gives wall time and CPU time, and the load average is
printed first and last: on a shared machine, CPU time over wall time below
the thread count means other work kept a thread waiting.
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
import numpy  # noqa: E402


def reps(default):
    return int(os.environ.get("REPS", default))


def timed(call):
    start = time.perf_counter()
    call()
    return time.perf_counter() - start


def medians(calls, count):
    samples = [[] for _ in calls]
    for _ in range(count):
        for sample, call in zip(samples, calls):
            sample.append(timed(call))
    return [statistics.median(s) for s in samples]


def load():
    return " ".join(f"{x:.2f}" for x in os.getloadavg())


print(f"load average before: {load()} ({os.cpu_count()} processors)")

instance = os.path.join(data, "instances", "C1_10_1.txt")
route_list = os.path.join(data, "routes", "C1_10_1.routes")
with open(route_list) as f:
    routes = [[int(c) for c in line.split()] for line in f if line.strip()]
program = [os.path.join(build, "fleetjudge-report"), "--json", instance, route_list]
assert fleetjudge.report(instance, routes)["summary"]["customers_served"] == 1000
in_memory, process = medians(
    [lambda: fleetjudge.report(instance, routes),
     lambda: subprocess.run(program, stdout=subprocess.PIPE, check=False)], reps(21))
print(f"report, C1_10_1: routes in memory {in_memory * 1e3:.2f} ms, "
      f"one fleetjudge-report --json process {process * 1e3:.2f} ms, "
      f"ratio {in_memory / process:.2f}")

read = fleetjudge.Instance(instance)
assert read.judge(routes).to_dict() == fleetjudge.report(instance, routes)


def judged():
    report = read.judge(routes)
    return report.feasible, report.distance


assert judged() == (True, fleetjudge.report(instance, routes)["summary"]["distance"])
judge, whole = medians([judged, lambda: fleetjudge.report(instance, routes)], reps(51))
print(f"C1_10_1: Instance.judge(routes) with .feasible and .distance {judge * 1e6:.0f} us, "
      f"fleetjudge.report(path, routes) {whole * 1e3:.2f} ms: {whole / judge:.0f} times as fast")

big, solution = os.path.join(out, "instance.txt"), os.path.join(out, "a.sol")
assert fleetjudge.check(big, solution).output == "OK\n"
with open(solution) as f:
    arrays = [numpy.array(line.split(), dtype=numpy.int32) for line in f.readlines()[1:]
              if line.strip()]
big_read = fleetjudge.Instance(big)
assert big_read.judge(arrays).status == 0 and sum(map(len, arrays)) == 9999


def pools(name, work):
    cpu = {1: [], 2: []}

    def run(threads):
        wall, start = time.perf_counter(), time.process_time()
        with concurrent.futures.ThreadPoolExecutor(threads) as pool:
            assert all(status == 0 for status in pool.map(lambda _: work(), range(200)))
        cpu[threads].append(time.process_time() - start)

    one, two = medians([lambda: run(1), lambda: run(2)], reps(7))
    cpu1, cpu2 = statistics.median(cpu[1]), statistics.median(cpu[2])
    print(f"200 {name}, 10000 nodes: 1 thread {one:.3f} s wall, {cpu1:.3f} s CPU; "
          f"2 threads {two:.3f} s wall, {cpu2:.3f} s CPU; speed-up {one / two:.2f}x; "
          f"CPU time over wall time {cpu1 / one:.2f} and {cpu2 / two:.2f}")


pools("checks", lambda: fleetjudge.check(big, solution).status)
pools("judgements of numpy routes", lambda: big_read.judge(arrays).status)


def resident():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


broken = routes[1:] + [routes[0] + [routes[1][0], 5000]]  # violations of several kinds
sizes = {}
for calls in range(1, 100_001):
    report = read.judge(broken if calls % 2 else routes)
    report.feasible, report.distance, report.violations, report.routes[0].stops
    if calls in (10_000, 100_000):
        sizes[calls] = resident()
print(f"resident memory after 10,000 judgements {sizes[10_000] / 2**20:.2f} MiB, after "
      f"100,000 {sizes[100_000] / 2**20:.2f} MiB: "
      f"{(sizes[100_000] - sizes[10_000]) / 2**10:+.0f} KiB")
print(f"load average after: {load()}")
