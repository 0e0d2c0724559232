"""The module against the programs it binds: the same documents, verdicts and
statuses from paths, bytes and routes in memory, on one thread or eight."""
import ast
import concurrent.futures
import inspect
import json
import os
import pathlib
import shutil
import subprocess

import pytest

import fleetjudge

ROOT = pathlib.Path(__file__).resolve().parents[2]
DATA = pathlib.Path(os.environ.get("FLEETJUDGE_DATA") or ROOT.parent / "shared" / "data")
EXAMPLE, SOLUTION = ROOT / "examples" / "depot100.txt", ROOT / "examples" / "depot100.sol"


def command_line_report(instance, solution, options=()):
    # The built program, as ctest names it.
    run = subprocess.run([os.environ["FLEETJUDGE_REPORT"], "--json", *options, instance, solution],
                         capture_output=True, check=False)
    return run.returncode, json.loads(run.stdout)


def data_pair(name):
    instance, routes = DATA / "instances" / f"{name}.txt", DATA / "routes" / f"{name}.routes"
    skip = pytest.mark.skipif(not routes.is_file(), reason=f"no {routes} (FLEETJUDGE_DATA)")
    return pytest.param(instance, routes, (), id=name, marks=skip)


def vrplib_pair(name, convention):
    instance, sol = DATA / "vrplib" / f"{name}.vrp", DATA / "vrplib" / f"{name}.sol"
    skip = pytest.mark.skipif(not sol.is_file(), reason=f"no {sol} (FLEETJUDGE_DATA)")
    return pytest.param(instance, sol, ("--instance-format=vrplib", f"--convention={convention}"),
                        id=f"{name}-{convention}", marks=skip)


def classic_pair(name):
    instance, sol = DATA / "classic" / f"{name}.vrp", DATA / "classic" / f"{name}.sol"
    skip = pytest.mark.skipif(not sol.is_file(), reason=f"no {sol} (FLEETJUDGE_DATA)")
    return pytest.param(instance, sol, (), id=name, marks=skip)


# Report cases given as two files, with the options their command lines take.
def report_cases():
    for case in sorted((ROOT / "tests" / "report-cases").iterdir()):
        args = (case / "args").read_text().split() if (case / "args").exists() else []
        options = tuple(a for a in args if a.startswith("--solution-format"))
        if (case / "solution").exists():
            yield pytest.param(case / "instance", case / "solution", options, id=case.name)


PAIRS = [
    pytest.param(EXAMPLE, SOLUTION, (), id="depot100"),
    pytest.param(EXAMPLE, ROOT / "examples" / "depot100-overloaded.sol", (), id="overloaded"),
    *report_cases(),
    *(data_pair(name) for name in ("C101", "R201", "C1_10_1")),
    vrplib_pair("X-n101-k25", "rounded"), vrplib_pair("RC2_10_5", "truncated"),
    classic_pair("CMT6"),
]


def in_python(instance, solution, options):
    keywords = dict(o[2:].replace("-", "_").split("=") for o in options)
    return fleetjudge.report(instance, solution, **keywords)


@pytest.mark.parametrize("instance, solution, options", PAIRS)
def test_report_is_the_command_lines_document(instance, solution, options, tmp_path):
    # The same files again under a path that is not UTF-8: the document holds
    # it as the command line does, byte by byte as Latin-1.
    odd = tmp_path / os.fsdecode(b"caf\xe9-\xc3\xa9")
    odd.mkdir()
    for path in (shutil.copy(instance, odd / "i.txt"), shutil.copy(solution, odd / "s")), (
            str(instance), pathlib.Path(solution)):
        status, expected = command_line_report(*map(str, path), options)
        if status == 2:
            with pytest.raises(fleetjudge.InputError) as raised:
                in_python(*path, options)
            assert str(raised.value) == expected["error"]
        else:
            assert in_python(*path, options) == expected
        assert expected["instance"]["path"] == os.fsencode(path[0]).decode("latin-1")


def routes_as(shape, routes):
    if shape == "tuples":
        return tuple(tuple(r) for r in routes)
    if shape == "numpy":
        numpy = pytest.importorskip("numpy")
        return [numpy.array(r, dtype=numpy.int32 if max(r, default=0) < 2**31 else object)
                for r in routes]
    return [list(r) for r in routes]


@pytest.mark.parametrize("shape", ["lists", "tuples", "numpy"])
@pytest.mark.parametrize("instance, solution, options", PAIRS[:2] + PAIRS[-1:])
def test_routes_in_memory_are_the_same_routes_in_a_file(shape, instance, solution, options,
                                                        tmp_path):
    routes = [r["customers"] for r in fleetjudge.report(instance, solution)["routes"]]
    routes[1:1] = [[]]  # an empty route is skipped, as a blank line is
    routes.append([routes[0][0], -3, 10**30])  # any integer, written out exactly
    listed = tmp_path / "routes"
    listed.write_text("".join(" ".join(map(str, r)) + "\n" for r in routes if r))
    from_file = fleetjudge.report(instance, listed, solution_format="plain")
    from_file["solution"]["path"] = None
    assert fleetjudge.report(instance, routes_as(shape, routes)) == from_file

    if shape == "lists":  # the first customer number read empties its route
        class Number:
            def __init__(self, i):
                self.i = i

            def __index__(self):
                given[0].clear()
                return self.i

        given = routes_as(shape, routes)
        given[0] = [Number(c) for c in given[0]]
        assert fleetjudge.report(instance, given) == from_file


@pytest.mark.parametrize("convention", ["exact", "truncated", "rounded"])
def test_a_route_above_the_length_limit_is_a_violation_of_its_own(convention):
    # A route length limit written with decimals, the routes in memory: the
    # second route, 2.5 + 5 + 2.5 long in exact and truncated legs, 3 + 5 + 3
    # in rounded ones, is above 9.999 in each convention; the first is not.
    instance = (b"NAME : line\nTYPE : CVRP\nDIMENSION : 4\nCAPACITY : 10\nDISTANCE : 9.999\n"
                b"NODE_COORD_SECTION\n1 0 0\n2 1.5 2.0\n3 -1.5 -2.0\n4 0.3 0.4\n"
                b"DEMAND_SECTION\n1 0\n2 1\n3 1\n4 1\nEOF\n")
    with pytest.raises(fleetjudge.InputError) as raised:
        fleetjudge.report(instance.replace(b"9.999", b"9.9999999999"), [[3], [1, 2]])
    assert "has more than 9 decimals" in str(raised.value)
    document = fleetjudge.report(instance, [[3], [1, 2]], convention=convention)
    length = 11.0 if convention == "rounded" else 10.0
    assert document["violations"] == [{"kind": "route_too_long", "route": 2, "position": None, "node": None,
                                       "length": length, "limit": 9.999,
                                       "excess": pytest.approx(length - 9.999)}]
    assert document["instance"]["route_limit"] == {"key": "DISTANCE", "value": 9.999,
                                                   "counts": "travel and service"}


def checker_cases():  # those run on the two files `instance` and `solution`
    return [c for c in sorted((ROOT / "tests" / "cases").iterdir()) if not (c / "args").exists()]


@pytest.mark.parametrize("case", checker_cases(), ids=lambda case: case.name)
def test_check_gives_the_checkers_output_and_status(case, monkeypatch):
    expected = ((case / "status").read_text().strip(),
                (case / "stdout").read_bytes().decode("latin-1"))
    monkeypatch.chdir(case)
    for solution in "solution", (case / "solution").read_bytes():
        verdict = fleetjudge.check(pathlib.Path("instance"), solution)
        assert (str(verdict.status), verdict.output) == expected


@pytest.mark.parametrize("call, error, message", [
    (lambda: fleetjudge.check("no-such-instance", SOLUTION), FileNotFoundError, "no-such"),
    (lambda: fleetjudge.report(EXAMPLE, "no-such-solution"), FileNotFoundError, "no-such"),
    (lambda: fleetjudge.check(ROOT, SOLUTION), IsADirectoryError, ""),
    (lambda: fleetjudge.report(b"five\n", SOLUTION), fleetjudge.InputError, "instance file "),
    (lambda: fleetjudge.report(EXAMPLE, [[1, 2], [3, 4.0]]), TypeError, r"routes\[1\]\[1\]"),
    (lambda: fleetjudge.report(EXAMPLE, [[1], [2], 3]), TypeError, r"routes\[2\]"),
    (lambda: fleetjudge.report(EXAMPLE, ["1 2"]), TypeError, r"routes\[0\]"),
    (lambda: fleetjudge.report(EXAMPLE, [[True]]), TypeError, r"routes\[0\]\[0\]"),
    (lambda: fleetjudge.check(EXAMPLE, [[1, 2]]), TypeError, "solution must be"),
    (lambda: fleetjudge.check(3, SOLUTION), TypeError, "instance must be"),
    (lambda: fleetjudge.check("a\0b", SOLUTION), ValueError, "null"),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, "plain"), TypeError, ""),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, verbose="yes"), TypeError, "verbose"),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, instance_format="csv"), ValueError, "csv"),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, convention="median"), ValueError, "median"),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, solution_format="xml"), ValueError, "xml"),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, solution_format=1), TypeError, ""),
    (lambda: fleetjudge.report(EXAMPLE, SOLUTION, solution_format="plain\0"), ValueError, "NUL"),
    (lambda: fleetjudge.report(EXAMPLE, [[1]], solution_format="routes"), ValueError, "plain"),
])
def test_each_error_raises_its_exception(call, error, message):
    with pytest.raises(error, match=message):
        call()
    assert issubclass(fleetjudge.InputError, ValueError)


def test_eight_threads_give_what_one_gives():
    work = [(fleetjudge.check, c / "instance", (c / "solution").read_bytes())
            for c in checker_cases()]
    work += [(in_python, p.values[0], p.values[1], p.values[2]) for p in PAIRS
             if not p.marks or p.values[1].is_file()]
    work += [(fleetjudge.report, EXAMPLE, [[c] for c in range(1, 101)])] * 8

    def run(item):
        try:
            result = item[0](*item[1:])
            return (result.status, result.output) if hasattr(result, "output") else result
        except fleetjudge.InputError as error:
            return str(error)

    alone = [run(item) for item in work]
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        assert list(pool.map(run, work * 2)) == alone * 2


def test_the_stub_and_the_signatures_describe_the_module():
    stub = ast.parse((ROOT / "python" / "fleetjudge.pyi").read_text())
    declared = {n.name: n for n in stub.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
    public = {name for name in vars(fleetjudge) if not name.startswith("_")}
    assert set(declared) == public
    for name in ("check", "report"):
        function, stubbed = getattr(fleetjudge, name), declared[name].args
        parameters = inspect.signature(function).parameters
        assert [a.arg for a in stubbed.args + stubbed.kwonlyargs] == list(parameters)
        # Every keyword the signature promises is taken, with its default.
        keywords = {p.name: p.default for p in parameters.values() if p.kind == p.KEYWORD_ONLY}
        assert fleetjudge.report(EXAMPLE, SOLUTION, **keywords)["verdict"]["status"] == 0


def test_the_default_convention_is_the_one_the_declared_cost_matches():
    # Late at 10.05 in exact distances, in time at 10.0 with every arc cut to
    # one decimal; the declared cost is that truncated distance.
    instance = (b"NAME : c\nTYPE : VRPTW\nDIMENSION : 3\nCAPACITY : 5\n"
                b"EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : FULL_MATRIX\n"
                b"EDGE_WEIGHT_SECTION\n0 5.05 10\n5.05 0 5\n10 5 0\nDEMAND_SECTION\n1 0\n2 1\n3 1\n"
                b"TIME_WINDOW_SECTION\n1 0 100\n2 0 100\n3 0 10\nEOF\n")
    solution = b"Route #1: 1 2\nCost 20.0\n"
    summary = fleetjudge.report(instance, solution)["summary"]
    assert summary["decision"] == {
        "convention": "truncated", "feasible": True,
        "reason": "the declared cost 20 is the distance with every arc cut to one decimal"}
    assert (summary["convention"], summary["feasible"]) == ("truncated", False)
    exact = fleetjudge.report(instance, solution, convention="exact")
    assert exact["summary"]["decision"]["convention"] == "exact"
    assert [v["kind"] for v in exact["violations"]] == ["time_window_missed"]
