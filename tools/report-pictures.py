#!/usr/bin/env python3
"""Takes the README's pictures of fleetjudge-report's page with headless
Chromium: the shipped 100-customer example, a 1000-customer example with
100 routes made here (one customer served late, one not visited), and the
published 95-route solution of the 1000-customer R1_10_1 from the benchmark
data ($FLEETJUDGE_DATA, else ../shared/data beside the project).

    report-pictures.py REPORT OUTDIR     writes OUTDIR/report-100.png, report-1000.png,
                                         report-r1_10_1.png (without the data: not that one)
"""
import math
import os
import pathlib
import random
import subprocess
import sys
import tempfile

report, outdir = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2])
project = pathlib.Path(__file__).resolve().parents[1]
examples = project / "examples"
data = pathlib.Path(os.environ.get("FLEETJUDGE_DATA") or project.parent / "shared" / "data")
tmp = pathlib.Path(tempfile.mkdtemp())

CUSTOMERS, ROUTES, SERVICE, CAPACITY = 1000, 100, 10, 200


def make_example(instance, solution):
    """Routes cut from a sweep around the depot; each window is drawn around
    the time its vehicle comes, so all is on time except where spoiled."""
    rng = random.Random(12)
    depot = (500, 500)
    points = []
    for _ in range(12):  # clustered customers, as in real deliveries
        cx, cy = rng.randint(80, 920), rng.randint(80, 920)
        points += [(min(999, max(0, int(rng.gauss(cx, 60)))), min(999, max(0, int(rng.gauss(cy, 60)))))
                   for _ in range(CUSTOMERS // 12 + 1)]
    points = points[:CUSTOMERS]
    order = sorted(range(1, CUSTOMERS + 1),
                   key=lambda i: math.atan2(points[i - 1][1] - depot[1], points[i - 1][0] - depot[0]))
    size = CUSTOMERS // ROUTES
    routes = [order[k * size:(k + 1) * size] for k in range(ROUTES)]
    # Within a route, nearest neighbour from the depot.
    for k, route in enumerate(routes):
        here, rest, tour = depot, list(route), []
        while rest:
            nxt = min(rest, key=lambda i: math.dist(here, points[i - 1]))
            rest.remove(nxt)
            tour.append(nxt)
            here = points[nxt - 1]
        routes[k] = tour
    demand = {i: rng.randint(5, 19) for i in range(1, CUSTOMERS + 1)}
    window = {}
    spoiled_route, spoiled_stop = 37, 6
    for k, route in enumerate(routes):
        clock, here = 0.0, depot
        for j, i in enumerate(route):
            clock += math.dist(here, points[i - 1])
            ready = int(clock) + (rng.randint(1, 20) if rng.random() < 0.2 else -rng.randint(0, 60))
            start = max(clock, ready)
            due = int(start) + rng.randint(5, 80)
            if (k, j) == (spoiled_route, spoiled_stop):
                due = int(start) - 23  # the vehicle comes 23-24 time units late
            window[i] = (max(0, ready), due)
            clock, here = start + SERVICE, points[i - 1]
    routes[71].pop()  # the last of its route, so that the others keep their times

    def duration(route):  # travel, waiting and service, back at the depot
        clock, here = 0.0, depot
        for i in route:
            clock = max(clock + math.dist(here, points[i - 1]), window[i][0]) + SERVICE
            here = points[i - 1]
        return clock + math.dist(here, depot)

    durations = [duration(r) for r in routes]
    total, latest = sum(durations), max(durations)
    with open(instance, "w") as f:
        f.write("sweep1000\n\nVEHICLE\nNUMBER     CAPACITY\n  %d  %d\n\nCUSTOMER\n" % (ROUTES, CAPACITY))
        f.write("CUST NO.  XCOORD.  YCOORD.  DEMAND  READY TIME  DUE DATE  SERVICE TIME\n\n")
        f.write("0 %d %d 0 0 %d 0\n" % (*depot, int(latest) + 60))
        for i in range(1, CUSTOMERS + 1):
            f.write("%d %d %d %d %d %d %d\n" % (i, *points[i - 1], demand[i], *window[i], SERVICE))
    with open(solution, "w") as f:
        f.write("%d %.2f\n" % (ROUTES, total))
        for route in routes:
            f.write(" ".join(map(str, route)) + "\n")


def screenshot(folder, instance, solution, png, height):
    """The page of folder/instance and folder/solution, named as given."""
    page = tmp / (png.stem + ".html")
    run = subprocess.run([report, "--html", str(page), instance, solution], cwd=folder,
                         stdout=subprocess.DEVNULL)
    if run.returncode not in (0, 1) or not page.is_file():  # 2: the report could not judge
        sys.exit(f"{report} {instance} {solution}: status {run.returncode}, no page")
    subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                    "--no-first-run", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync",
                    f"--user-data-dir={tmp / 'profile'}", f"--screenshot={png.resolve()}",
                    f"--window-size=1100,{height}", page.resolve().as_uri()],
                   capture_output=True, check=True, timeout=120)
    print("wrote", png)


make_example(tmp / "sweep1000.txt", tmp / "sweep1000.sol")
screenshot(examples.parent, "examples/depot100.txt", "examples/depot100-overloaded.sol",
           outdir / "report-100.png", 2200)
screenshot(tmp, "sweep1000.txt", "sweep1000.sol", outdir / "report-1000.png", 2700)
if (data / "routes/R1_10_1.routes").is_file():
    screenshot(data, "instances/R1_10_1.txt", "routes/R1_10_1.routes",
               outdir / "report-r1_10_1.png", 2700)
else:
    print("no R1_10_1 under", data, "- its picture is not taken")
