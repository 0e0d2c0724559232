#!/usr/bin/env python3
"""fleetjudge-report on VRPLIB instances with decimal coordinates, against
figures computed here independently, from the decimal texts themselves:

- truncated and rounded legs with math.isqrt on exact fractions;
- exact legs by emulating the extended format step by step: every
  coordinate, difference, square, sum and root rounded to a 64-bit
  significand (ties to even), with fractions.Fraction;
- every route's length against a DISTANCE limit, decided in fractions.

Random instances cover every number of decimals from 0 to 9 and coordinates
up to +-10^6, where the squares need 128 bits; a third of them have their
customers on a line through the depot, so that legs are exact halves and
quarters and routes meet their limit exactly. Instances in the layout of
the Golden and Li sets (DISTANCE without SERVICE_TIME, negative decimal
coordinates) with a best-known-style solution must give its routes, its
cost within 0.01 in the exact convention, `matches` = exact and no violation.

    decimals_test.py FLEETJUDGE_REPORT [RUNNER...]
"""
import json, math, os, random, subprocess, sys, tempfile
from fractions import Fraction

report, runner = sys.argv[1], sys.argv[2:]
tmp = tempfile.mkdtemp()
rng = random.Random(20261207)
failures = []


def run(instance_text, solution_text, *options):
    inst, sol = os.path.join(tmp, "i.vrp"), os.path.join(tmp, "s.sol")
    open(inst, "w").write(instance_text)
    open(sol, "w").write(solution_text)
    r = subprocess.run(runner + [report, "--json", *options, inst, sol], capture_output=True)
    return r.returncode, json.loads(r.stdout.decode("utf-8"))


# The extended format: a 64-bit significand, rounded to nearest, ties to even.
def to_ext(q):
    if q == 0:
        return Fraction(0)
    sign, q = (-1 if q < 0 else 1), abs(q)
    e = q.numerator.bit_length() - q.denominator.bit_length()
    if q < Fraction(2) ** e:
        e -= 1  # now 2^e <= q < 2^(e+1)
    scaled = q / Fraction(2) ** (e - 63)
    m = math.floor(scaled)
    rest = scaled - m
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and m % 2 == 1):
        m += 1
    return sign * m * Fraction(2) ** (e - 63)


def ext_sqrt(q):
    """The square root of q >= 0, correctly rounded to the format."""
    if q == 0:
        return Fraction(0)
    e = (q.numerator.bit_length() - q.denominator.bit_length()) // 2 - 1
    while Fraction(2) ** (2 * (e + 1)) <= q:
        e += 1
    while Fraction(2) ** (2 * e) > q:
        e -= 1  # 2^e <= sqrt(q) < 2^(e+1)
    y = q * Fraction(4) ** (63 - e)  # sqrt(y) in [2^63, 2^64)
    m = math.isqrt(math.floor(y))
    half = Fraction(2 * m + 1, 2) ** 2  # (m + 1/2)^2 against y decides the rounding
    if half < y or (half == y and m % 2 == 1):
        m += 1
    return m * Fraction(2) ** (e - 63)


def legs(p, q):
    """The leg from p to q (pairs of decimal texts) in each convention:
    exact (a Fraction holding the extended value), tenths, whole units."""
    (xa, ya), (xb, yb) = p, q
    square = (Fraction(xa) - Fraction(xb)) ** 2 + (Fraction(ya) - Fraction(yb)) ** 2
    tenths = math.isqrt(math.floor(100 * square))  # floor(10 sqrt(square))
    whole = math.isqrt(math.floor(square))
    rounded = whole + 1 if Fraction(2 * whole + 1, 2) ** 2 <= square else whole
    dx = to_ext(to_ext(Fraction(xa)) - to_ext(Fraction(xb)))
    dy = to_ext(to_ext(Fraction(ya)) - to_ext(Fraction(yb)))
    exact = ext_sqrt(to_ext(to_ext(dx * dx) + to_ext(dy * dy)))
    return exact, tenths, rounded


def decimal_text(value, decimals):
    text = f"{abs(value) // 10 ** decimals}" if decimals == 0 else \
        f"{abs(value) // 10 ** decimals}.{abs(value) % 10 ** decimals:0{decimals}d}"
    return ("-" if value < 0 else "") + text


def instance_text(name, coordinates, demands, capacity, keys):
    lines = [f"NAME : {name}", "TYPE : CVRP", f"DIMENSION : {len(coordinates)}",
             "EDGE_WEIGHT_TYPE : EUC_2D", f"CAPACITY : {capacity}", *keys, "NODE_COORD_SECTION"]
    lines += [f"{i} {x} {y}" for i, (x, y) in enumerate(coordinates, 1)]
    lines += ["DEMAND_SECTION"] + [f"{i} {d}" for i, d in enumerate(demands, 1)]
    return "\n".join(lines + ["DEPOT_SECTION", "1", "-1", "EOF", ""])


def route_figures(coordinates, route, service):
    """Travel in each convention, as the walk adds it: depot, customers, depot."""
    exact, tenths, rounded = Fraction(0), 0, 0
    stops = [0] + route + [0]
    for a, b in zip(stops, stops[1:]):
        e, t, r = legs(coordinates[a], coordinates[b])
        exact, tenths, rounded = to_ext(exact + e), tenths + t, rounded + r
    served = service * len(route)
    return exact, tenths, rounded, served


def random_point(reach):
    point = []
    for _ in range(2):
        decimals = rng.randint(0, 9)
        unit = 10 ** decimals
        extreme = rng.random() < 0.15
        value = rng.choice([-reach, reach]) * unit if extreme else rng.randint(-reach * unit, reach * unit)
        point.append(decimal_text(value, decimals))
    return tuple(point)


def line_point(depot, a):
    """depot + (3a, 4a) / 4: on a line through the depot, every leg a
    multiple of 5/4, exact in binary and in decimals, halves and quarters
    included, to meet the limits and the rounding exactly."""
    return tuple(decimal_text(int(Fraction(c) * 100) + 25 * k * a, 2) for c, k in zip(depot, (3, 4)))


def check_random(case):
    customers = rng.randint(3, 12)
    reach = rng.choice([10 ** 2, 10 ** 4, 10 ** 6])
    if case % 3 == 0:
        depot = tuple(decimal_text(rng.randint(-400, 400) * 25, 2) for _ in range(2))
        coordinates = [depot] + [line_point(depot, rng.randint(-40, 40)) for _ in range(customers)]
    else:
        coordinates = [random_point(reach) for _ in range(customers + 1)]
    order = list(range(1, customers + 1))
    rng.shuffle(order)
    cuts = sorted(rng.sample(range(1, customers), rng.randint(0, min(3, customers - 1))))
    routes = [order[a:b] for a, b in zip([0] + cuts, cuts + [customers])]
    service = rng.choice([0, 0, 10, 50])
    figures = [route_figures(coordinates, r, service) for r in routes]
    # The limit: one route's length in one convention, nudged by a billionth
    # or not, so that routes land at it, just above and just below.
    exact, tenths, rounded, served = figures[rng.randrange(len(figures))]
    base = rng.choice([exact, Fraction(tenths, 10), Fraction(rounded)]) + served
    limit = Fraction(math.floor(base * 10 ** 9) + rng.choice([-1, 0, 1, 0]), 10 ** 9)
    limit = max(limit, Fraction(1, 10 ** 9))
    keys = [f"DISTANCE : {decimal_text(int(limit * 10 ** 9), 9)}"]
    if service or rng.random() < 0.5:
        keys.append(f"SERVICE_TIME : {service}.{'0' * rng.randint(0, 5)}".rstrip("."))
    text = instance_text(f"random{case}", coordinates, [0] + [1] * customers, customers, keys)
    solution = "".join(f"Route #{k}: {' '.join(map(str, r))}\n" for k, r in enumerate(routes, 1))
    for convention in ("exact", "truncated", "rounded"):
        status, doc = run(text, solution, "--convention=" + convention)
        if doc["error"]:
            failures.append(f"case {case}: {doc['error']}")
            return
        too_long = 0
        for route, (exact, tenths, rounded, served), got in zip(routes, figures, doc["routes"]):
            want = {"distance": float(exact), "length": float(to_ext(exact + served)),
                    "truncated": float(Fraction(tenths, 10)), "rounded": float(rounded)}
            have = {"distance": got["distance"], "length": got["length"],
                    "truncated": got["truncated"]["distance"], "rounded": got["rounded"]["distance"]}
            if want != have:
                failures.append(f"case {case} route {got['route']}: {have}, computed {want}")
            above = {"exact": exact + served > limit,
                     "truncated": Fraction(tenths, 10) + served > limit,
                     "rounded": rounded + served > limit}
            judged = {"exact": not got["feasible"], "truncated": not got["truncated"]["feasible"],
                      "rounded": not got["rounded"]["feasible"]}
            if above != judged:
                failures.append(f"case {case} route {got['route']}: too long {judged}, computed {above}")
            too_long += above[convention]
        listed = sum(v["kind"] == "route_too_long" for v in doc["violations"])
        if listed != too_long or status != (1 if too_long else 0):
            failures.append(f"case {case} {convention}: {listed} listed, status {status}, computed {too_long}")


for case in range(60):
    check_random(case)


# The layout of the Golden and Li sets: DISTANCE without SERVICE_TIME,
# coordinates with five decimals on both sides of the depot, a route list
# with the cost as papers publish it (double precision, two decimals) and as
# a solver prints it (every digit of a double).
def check_published_layout(name, customers, limit):
    coordinates = [("0.00000", "0.00000")]
    for _ in range(customers):
        coordinates.append(tuple(decimal_text(rng.randint(-200 * 10 ** 5, 200 * 10 ** 5), 5)
                                 for _ in range(2)))
    order = list(range(1, customers + 1))
    order.sort(key=lambda c: math.atan2(float(coordinates[c][1]), float(coordinates[c][0])))
    routes, current = [], []
    for c in order:  # a sweep, closing a route before it would pass the limit
        trial = current + [c]
        if current and float(route_figures(coordinates, trial, 0)[0]) > limit:
            routes.append(current)
            trial = [c]
        current = trial
    routes.append(current)
    cost = 0.0
    for r in routes:
        stops = [0] + r + [0]
        cost += sum(math.hypot(float(coordinates[a][0]) - float(coordinates[b][0]),
                               float(coordinates[a][1]) - float(coordinates[b][1]))
                    for a, b in zip(stops, stops[1:]))
    text = instance_text(name, coordinates, [0] + [rng.randint(1, 30) for _ in order],
                         30 * customers, [f"COMMENT : {cost + 1:.2f}", f"DISTANCE : {limit}"])
    listed = "".join(f"Route #{k}: {' '.join(map(str, r))}\n" for k, r in enumerate(routes, 1))
    for written in (f"{cost:.2f}", repr(cost)):
        status, doc = run(text, listed + f"Cost {written}\n")
        s = doc["summary"] or {}
        problems = []
        if status != 0 or doc["violations"]:
            problems.append(f"status {status}, violations {doc['violations'][:2]}")
        if s.get("vehicles") != len(routes) or abs(s.get("distance", 0) - float(written)) > 0.01:
            problems.append(f"{s.get('vehicles')} routes, distance {s.get('distance')}; "
                            f"expected {len(routes)}, {written}")
        if (s.get("declared_cost") or {}).get("matches") != "exact":
            problems.append(f"matches {(s.get('declared_cost') or {}).get('matches')}")
        if doc["instance"].get("route_limit") != {"key": "DISTANCE", "value": limit,
                                                   "counts": "travel and service"}:
            problems.append(f"route limit {doc['instance'].get('route_limit')}")
        failures.extend(f"{name}, cost {written}: {p}" for p in problems)


check_published_layout("Golden-like", 240, 650)
check_published_layout("Li-like", 560, 1800)

print("\n".join(failures) or "all agree")
sys.exit(1 if failures else 0)
