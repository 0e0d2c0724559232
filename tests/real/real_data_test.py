#!/usr/bin/env python3
"""The checker on real benchmark data: published route lists turned into
solution files by an independent oracle (make_solution), and broken variants.

    real_data_test.py <fleetjudge> <make_solution> <data folder> [runner...]

A runner (an emulator and its options) is put in front of both programs.

Skips (status 77) when the data folder is absent."""
import os, subprocess, sys, tempfile

fleetjudge, make_solution, data = sys.argv[1:4]
data = os.environ.get("FLEETJUDGE_DATA") or data  # the data folder may be set elsewhere
runner = sys.argv[4:]
if not os.path.isdir(os.path.join(data, "routes")):
    print(f"skipped: no benchmark data at {data}")
    sys.exit(77)

tmp = tempfile.mkdtemp()
failures = []


def lf_instance(name):
    path = os.path.join(tmp, name + ".txt")
    with open(os.path.join(data, "instances", name + ".txt"), "rb") as f:
        raw = f.read()
    with open(path, "wb") as f:
        f.write(raw.replace(b"\r", b""))
    return path


def build(instance, routes, nudge="0"):
    """Writes a solution file for the route lists; returns it and the oracle's finding."""
    routes_path = os.path.join(tmp, "routes")
    with open(routes_path, "w") as f:
        f.write("".join(" ".join(map(str, r)) + "\n" for r in routes))
    made = subprocess.run(runner + [make_solution, instance, routes_path, nudge], capture_output=True, text=True)
    solution = os.path.join(tmp, "solution")
    with open(solution, "w") as f:
        f.write(made.stdout)
    return solution, made.stderr.split()


def expected_for(finding):
    """The exact output, or (prefix, suffix) where it holds a computed time."""
    kind = finding[0]
    if kind == "feasible":
        return "OK\n"
    if kind == "capacity":
        return f"on route {finding[1]} truck capacity exceeded at node {finding[2]}\n"
    window = "time window" if kind == "late" else "depot time window end"
    return (f"on route {finding[1]} node {finding[2]} visited at time ",
            f" which is greater than the end of {window} {finding[3]}\n")


def check(label, instance, solution, expected):
    out = subprocess.run(runner + [fleetjudge, instance, solution], capture_output=True, text=True).stdout
    if isinstance(expected, tuple):
        good = out.startswith(expected[0]) and out.endswith(expected[1])
    else:
        good = out == expected
    if not good:
        failures.append(f"{label}: got {out!r}, expected {expected!r}")


def read_routes(name):
    with open(os.path.join(data, "routes", name + ".routes")) as f:
        return [list(map(int, l.split())) for l in f if l.strip()]


# Every instance, converted to LF, reads and passes the screening: a claim of
# infeasibility is then wrong, and no list comes before the verdict. As
# distributed, with CR LF line ends, it is refused with a hint.
claim = os.path.join(tmp, "claim")
with open(claim, "w") as f:
    f.write("-1\n")
instances = sorted(n[:-4] for n in os.listdir(os.path.join(data, "instances")))
for name in instances:
    check(name + " screening", lf_instance(name), claim,
          "the instance seems feasible, but solution file claimed infeasible\n")
raw = os.path.join(data, "instances", instances[0] + ".txt")
check(instances[0] + " with CR LF", raw, claim, f"instance file {raw}: the vehicle count and capacity "
      "cannot be read; the file has CR LF line ends and must be converted to LF\n")

names = sorted(n[:-7] for n in os.listdir(os.path.join(data, "routes")))
for name in names:
    instance, routes = lf_instance(name), read_routes(name)
    solution, finding = build(instance, routes)
    check(name, instance, solution, expected_for(finding))
    if name not in ("C101", "R101", "RC201", "C1_10_1"):
        continue
    last = routes[-1][-1]
    dropped = [r[:] for r in routes]
    gone = dropped[0].pop(len(dropped[0]) // 2)
    check(name + " dropped", instance, build(instance, dropped)[0], f"customer {gone} not visited\n")
    swapped = [r[:] for r in routes]
    swapped[0][0], swapped[1][0] = swapped[1][0], swapped[0][0]
    solution, finding = build(instance, swapped)
    check(name + " swapped", instance, solution, expected_for(finding))
    check(name + " declared too low", instance, build(instance, routes, "-0.03")[0],
          ("traveled distance cost longer than declared \n"
           f"up to route {len(routes)} returning from node {last} to depot distance is ", "\n"))
    check(name + " declared too high", instance, build(instance, routes, "0.03")[0],
          ("total cost smaller than declared \n"
           f"up to route {len(routes)} returning from node {last} to depot cost is ", " \n"))

print(f"{len(instances)} instances and {len(names)} published solutions checked")
print("\n".join(failures))
sys.exit(1 if failures else 0)
