"""An Instance read once and judged against, against report(): the same
documents from the same files, the same routes from memory as from a plain
list, pickled and on eight threads; and the errors of routes that are not."""
import array
import ast
import concurrent.futures
import doctest
import gc
import inspect
import os
import pathlib
import pickle

import pytest

import fleetjudge

ROOT = pathlib.Path(__file__).resolve().parents[2]
DATA = pathlib.Path(os.environ.get("FLEETJUDGE_DATA") or ROOT.parent / "shared" / "data")
EXAMPLE = ROOT / "examples" / "depot100.txt"
CONVENTIONS = ("auto", "exact", "truncated", "rounded")
SWAPPED = "are the two arguments swapped?"  # only report() sees both files


def case_pairs():
    for folder in ("cases", "report-cases"):
        for case in sorted((ROOT / "tests" / folder).iterdir()):
            if (case / "instance").is_file() and (case / "solution").is_file():
                args = (case / "args").read_text().split() if (case / "args").exists() else []
                options = dict(a[2:].replace("-", "_").split("=") for a in args
                               if a.startswith(("--solution-format=", "--instance-format=")))
                yield pytest.param(case / "instance", case / "solution", options,
                                   id=f"{folder}/{case.name}")


def data_pairs():
    for routes in sorted((DATA / "routes").glob("*.routes")):
        yield pytest.param(DATA / "instances" / f"{routes.stem}.txt", routes, {}, id=routes.stem)
    for folder in ("vrplib", "classic"):
        for instance in sorted((DATA / folder).glob("*.vrp")):
            solution = instance.with_suffix(".sol")
            if solution.is_file():
                yield pytest.param(instance, solution, {}, id=f"{folder}/{instance.stem}")


def needs_data(path):
    return pytest.mark.skipif(not path.is_file(), reason=f"no {path} (FLEETJUDGE_DATA)")


def same_as_document(value, expected, where):
    """Every attribute the objects have for the document's members equals
    the member, of the same type."""
    if isinstance(expected, dict):
        for key, member in expected.items():
            same_as_document(getattr(value, key), member, f"{where}.{key}")
    elif isinstance(expected, list):
        assert len(value) == len(expected), where
        for i, (v, e) in enumerate(zip(value, expected)):
            same_as_document(v, e, f"{where}[{i}]")
    else:
        assert (type(value), value) == (type(expected), expected), where


def same_objects(report, document):
    assert report.status in ((2,) if document["error"] else (0, 1))
    assert (report.error, report.notes) == (document["error"], document["notes"])
    summary = document["summary"]
    if summary is None:
        assert report.summary is None
        assert (report.feasible, report.convention, report.distance) == (None, None, None)
        return
    same_as_document(report.summary, summary, "summary")
    assert (report.feasible, report.convention) == (summary["decision"]["feasible"],
                                                    summary["decision"]["convention"])
    assert (report.vehicles, report.distance, report.duration) == (
        summary["vehicles"], summary["distance"], summary["duration"])
    same_as_document(report.routes, document["routes"], "routes")
    for violation, member in zip(report.violations, document["violations"]):
        assert violation.figures == {k: v for k, v in member.items()
                                     if k not in ("kind", "route", "position", "node")}
    same_as_document(report.violations, document["violations"], "violations")


@pytest.mark.parametrize("instance, solution, options",
                         [*case_pairs(), *(p for p in data_pairs())])
def test_judge_gives_the_documents_report_gives(instance, solution, options):
    try:
        read = fleetjudge.Instance(instance, instance_format=options.get("instance_format", "auto"))
    except fleetjudge.InputError as error:
        read, refusal = None, str(error)
    solution_format = options.get("solution_format", "auto")
    for convention in CONVENTIONS:
        try:
            expected = fleetjudge.report(instance, solution, convention=convention, **options)
        except fleetjudge.InputError as error:
            message = str(error)
            if read is not None:
                report = read.judge(solution, solution_format=solution_format,
                                    convention=convention)
                assert report.status == 2 and report.to_dict()["error"] == report.error
                refusal = report.error
            assert refusal == message or SWAPPED in message, convention
            continue
        assert read is not None, f"Instance() refused what report() judged: {refusal}"
        report = read.judge(solution, solution_format=solution_format, convention=convention)
        document = report.to_dict()
        assert document == expected, convention
        same_objects(report, document)


def written(routes):
    return "".join(" ".join(map(str, r)) + "\n" for r in routes if len(r))


def shapes(routes):
    numpy = pytest.importorskip("numpy")
    yield [list(r) for r in routes]
    yield tuple(tuple(r) for r in routes)
    yield [numpy.array(r, dtype=numpy.int64) for r in routes]
    yield [numpy.repeat(numpy.array(r, dtype=numpy.int32), 2)[::2] for r in routes]  # strided
    yield [numpy.array(r[::-1], dtype=numpy.uint32 if min(r, default=0) >= 0 else numpy.int32)[::-1]
           for r in routes]
    yield [array.array("i", r) for r in routes]
    yield [[numpy.int16(c) if abs(c) < 2**15 else c for c in r] for r in routes]


@pytest.mark.parametrize("instance, solution", [
    pytest.param(EXAMPLE, ROOT / "examples" / "depot100-overloaded.sol", id="depot100"),
    pytest.param(DATA / "instances" / "C1_10_1.txt", DATA / "routes" / "C1_10_1.routes",
                 id="C1_10_1", marks=needs_data(DATA / "routes" / "C1_10_1.routes")),
    pytest.param(DATA / "vrplib" / "X-n101-k25.vrp", DATA / "vrplib" / "X-n101-k25.sol",
                 id="X-n101-k25", marks=needs_data(DATA / "vrplib" / "X-n101-k25.sol")),
])
def test_routes_in_memory_are_the_same_routes_in_a_plain_list(instance, solution, tmp_path):
    read = fleetjudge.Instance(instance)
    routes = [r.customers for r in read.judge(solution).routes]
    # An empty route is skipped, as a blank line is; numbers the instance does
    # not have, the depot among them, are violations like any other.
    routes[1:1] = [[]]
    routes.append([routes[0][0], -3, 0, 2**31 - 1, -2**31])
    listed = tmp_path / "routes"
    listed.write_text(written(routes))
    for convention in CONVENTIONS:
        expected = read.judge(listed, solution_format="plain", convention=convention).to_dict()
        expected["solution"]["path"] = None
        expected["verdict"] = {"status": None, "message": None}  # no file for the checker
        for given in shapes(routes):
            assert read.judge(given, convention=convention).to_dict() == expected
    kinds = {v.kind for v in read.judge(routes).violations}
    assert {"customer_out_of_range", "visited_twice"} <= kinds


def test_an_instance_pickles_with_its_bytes_and_never_reads_the_file_again(tmp_path):
    vrplib = (b"NAME : v\nDIMENSION : 3\nCAPACITY : 5\nNODE_COORD_SECTION\n1 0 0\n2 3 4\n3 6 8\n"
              b"DEMAND_SECTION\n1 0\n2 1\n3 4\nEOF\n")
    path = tmp_path / os.fsdecode(b"caf\xe9.vrp")
    path.write_bytes(vrplib)
    for made in (lambda: fleetjudge.Instance(path, instance_format="vrplib"),
                 lambda: fleetjudge.Instance(EXAMPLE.read_bytes()),
                 lambda: fleetjudge.Instance(str(EXAMPLE))):
        original = made()
        state = pickle.dumps(original)
        path.unlink(missing_ok=True)
        copy = pickle.loads(state)
        described = ("path", "name", "type", "format", "customers", "capacity", "vehicles")
        assert [getattr(copy, a) for a in described] == [getattr(original, a) for a in described]
        for solution in ([[1, 2]], [[2], [1, 7]], b"1 2\n"):
            assert copy.judge(solution).to_json() == original.judge(solution).to_json()
    assert original.path == str(EXAMPLE) and copy.customers == 100
    with pytest.raises(ValueError, match="pickled"):
        fleetjudge.Instance.__new__(fleetjudge.Instance).__setstate__((b"x",))


def judged_in_a_process(instance, routes):
    return instance.judge(routes).to_json()


def test_a_process_pool_shares_an_instance():
    instance = fleetjudge.Instance(EXAMPLE)
    work = [[[c] for c in range(1, n)] for n in (50, 101)]
    with concurrent.futures.ProcessPoolExecutor(2) as pool:
        judged = list(pool.map(judged_in_a_process, [instance] * len(work), work))
    assert judged == [instance.judge(routes).to_json() for routes in work]


def test_eight_threads_judging_one_instance_give_what_one_gives():
    published = DATA / "routes" / "C1_10_1.routes"
    if published.is_file():
        instance = fleetjudge.Instance(DATA / "instances" / "C1_10_1.txt")
        routes = [[int(c) for c in line.split()] for line in published.read_text().splitlines()]
    else:
        # Routes of four customers: each variant below is a solution of its own.
        instance = fleetjudge.Instance(EXAMPLE)
        routes = [list(range(c, c + 4)) for c in range(1, 101, 4)]
    # Each solution leaves out, repeats or moves a few customers.
    work = [routes[k:] + routes[:k] for k in range(4)]
    work += [routes[:k] + [routes[k][::-1]] + routes[k + 1:] for k in range(4)]
    work += [routes + [routes[k][:2]] for k in range(4)] + [published.read_bytes()
                                                              if published.is_file() else b"x\n"]

    def judged(solution):
        report = instance.judge(solution)
        return report.status, report.distance, [v.kind for v in report.violations], \
            report.to_json()

    alone = [judged(w) for w in work]
    assert len({a[3] for a in alone}) == len(work)
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        assert list(pool.map(judged, work * 4)) == alone * 4


def test_a_report_and_its_parts_are_read_when_asked_and_outlive_it():
    instance = fleetjudge.Instance(EXAMPLE)
    report = instance.judge([[20, 24, 25, 2000], [67, 20]])
    assert report.violations is report.violations and report.routes is report.routes
    late = next(v for v in report.violations if v.kind == "customer_out_of_range")
    stop = report.routes[0].stops[1]
    figures, distance = report.summary.truncated, report.summary.truncated.distance
    del report
    gc.collect()
    assert (late.kind, late.route, late.position, late.node) == ("customer_out_of_range", 1, 4,
                                                                 2000)
    assert (stop.node, figures.distance) == (24, distance)
    with pytest.raises(AttributeError, match="no figure 'due'"):
        late.due
    assert "late" not in dir(late) and "kind" in dir(late)


@pytest.mark.parametrize("solution, says", [
    ([[20, 24, 25, 27, 29, 30, 28, 26, 23, 22, 21]], "infeasible (exact), 1 vehicle, distance 566.6670"),
    ([[c] for c in range(1, 101)], "feasible (exact), 100 vehicles, distance "),
    ([[1, 2], [2, 5000]], ", 100 violations, the first visited_twice on route 2 at position 1>"),
    (b"x y\n", "not judged, 'solution file solution: line 1: "),
])
def test_a_report_says_in_one_line_what_it_found(solution, says):
    said = repr(fleetjudge.Instance(EXAMPLE).judge(solution))
    assert says in said and "\n" not in said and said.startswith("<fleetjudge.Report: ")


@pytest.mark.parametrize("routes, error, message", [
    ([[1, 2], [3, 4.0]], TypeError, r"routes\[1\]\[1\] is not a customer number .*float"),
    ([[1], [2], 3], TypeError, r"routes\[2\] is not a sequence .*int"),
    ([[1], "1 2"], TypeError, r"routes\[1\] is not a sequence .*str"),
    ([[1, [2]]], TypeError, r"routes\[0\]\[1\] .*list"),
    ([[1, None]], TypeError, r"routes\[0\]\[1\] .*NoneType"),
    ([[7, True]], TypeError, r"routes\[0\]\[1\] is not a customer number: bool"),
    ([[1, 2**31]], OverflowError, r"routes\[0\]\[1\] = 2147483648 is beyond the 32 bits"),
    ([[], [-2**31 - 1]], OverflowError, r"routes\[1\]\[0\] = -2147483649 "),
    ([[1, 10**30]], OverflowError, r"routes\[0\]\[1\] = 1000000000000000000000000000000 "),
    ("numpy-float", TypeError, r"routes\[0\]\[0\] .*numpy.float64"),
    ("numpy-2d", TypeError, r"routes\[0\]\[0\] .*numpy.ndarray"),
    ("numpy-bool", TypeError, r"routes\[0\]\[0\] is not a customer number: numpy.bool"),
    ("numpy-big", OverflowError, r"routes\[1\]\[2\] = 4294967296 "),
    ("numpy-unsigned", OverflowError, r"routes\[0\]\[1\] = 18446744073709551615 "),
])
def test_routes_that_are_not_integers_raise_naming_where(routes, error, message):
    if isinstance(routes, str):
        np = pytest.importorskip("numpy")
        routes = {"numpy-float": [np.array([1.0, 2.0])], "numpy-2d": [np.array([[1, 2]])],
                  "numpy-bool": [np.array([True, False])],
                  "numpy-big": [np.array([1]), np.array([1, 2, 2**32])],
                  "numpy-unsigned": [np.array([1, 2**64 - 1], dtype=np.uint64)]}[routes]
    with pytest.raises(error, match=message):
        fleetjudge.Instance(EXAMPLE).judge(routes)


def test_a_route_changed_while_it_is_read_is_read_as_it_was():
    class Number:
        def __init__(self, i):
            self.i = i

        def __index__(self):
            route.clear()
            routes.clear()
            return self.i

    route = [Number(c) for c in (5, 3, 7)]
    routes = [route, [2, 9]]
    instance = fleetjudge.Instance(EXAMPLE)
    assert instance.judge(routes).to_json() == instance.judge([[5, 3, 7], [2, 9]]).to_json()


@pytest.mark.parametrize("call, error, message", [
    (lambda i: i.judge(b"x y\n").status, None, 2),
    (lambda i: i.judge([[1]], solution_format="routes"), ValueError, "plain"),
    (lambda i: i.judge([[1]], convention="median"), ValueError, "median"),
    (lambda i: i.judge([[1]], convention="exact\0"), ValueError, "NUL"),
    (lambda i: i.judge([[1]], convention=1), TypeError, ""),
    (lambda i: i.judge(b"1\n", solution_format="xml"), ValueError, "xml"),
    (lambda i: i.judge("1 2\n3 4\n"), ValueError, r"solution is a str with a line break.*encode"),
    (lambda i: i.judge(ROOT / "no-such-solution"), FileNotFoundError, "no-such"),
    (lambda i: i.judge(3), TypeError, "sequence of routes"),
    (lambda i: fleetjudge.Instance(EXAMPLE.read_text()), ValueError, r"\.encode\(\)"),
    (lambda i: fleetjudge.Instance(b"five\n"), fleetjudge.InputError, "instance file instance"),
    (lambda i: fleetjudge.Instance(ROOT / "no-such"), FileNotFoundError, "no-such"),
    (lambda i: fleetjudge.Instance(ROOT), IsADirectoryError, ""),
    (lambda i: fleetjudge.Instance(bytearray(b"1")), TypeError, "instance must be"),
    (lambda i: fleetjudge.Instance(EXAMPLE, instance_format="csv"), ValueError, "csv"),
    (lambda i: setattr(i, "customers", 3), AttributeError, ""),
])
def test_each_refusal_is_its_exception_or_a_report(call, error, message):
    instance = fleetjudge.Instance(EXAMPLE)
    if error is None:
        assert call(instance) == message
    else:
        with pytest.raises(error, match=message):
            call(instance)


def test_the_docstrings_examples_hold(monkeypatch):
    monkeypatch.chdir(ROOT)
    failures, tried = doctest.testmod(fleetjudge, extraglobs={"fleetjudge": fleetjudge},
                                      optionflags=doctest.ELLIPSIS)
    assert failures == 0 and tried >= 20


def test_the_stub_describes_every_class_and_signature():
    stub = ast.parse((ROOT / "python" / "fleetjudge.pyi").read_text())
    for node in stub.body:
        if not isinstance(node, ast.ClassDef) or node.name == "InputError":
            continue
        cls = getattr(fleetjudge, node.name)
        declared = {f.name: f for f in node.body if isinstance(f, ast.FunctionDef)}
        assert {n for n in declared if not n.startswith("_")} == \
            {n for n in dir(cls) if not n.startswith("_")}, node.name
        for name in ("__init__", "judge"):
            if name in declared and node.name == "Instance":
                stubbed = declared[name].args
                assert [a.arg for a in stubbed.args + stubbed.kwonlyargs] == \
                    list(inspect.signature(getattr(cls, name)).parameters)


# Two requests, Li & Lim's layout: 1 (load 5) to 2, 3 (load 7) to 4.
TWO_REQUESTS = (b"2\t10\t1\n0\t0\t0\t0\t0\t1000\t0\t0\t0\n1\t10\t0\t5\t0\t100\t10\t0\t2\n"
                b"2\t20\t0\t-5\t0\t200\t10\t1\t0\n3\t0\t10\t7\t0\t100\t10\t0\t4\n"
                b"4\t0\t20\t-7\t0\t300\t10\t3\t0\n")


def test_pickup_and_delivery_stops_name_their_partner():
    instance = fleetjudge.Instance(TWO_REQUESTS)
    assert (instance.type, instance.format) == ("PDPTW", "lilim")
    report = instance.judge([[1, 2], [3, 4]])
    assert report.feasible
    stops = [s for r in report.routes for s in r.stops]
    assert [(s.node, s.pair, s.role, s.load) for s in stops] == [
        (1, 2, "pickup", 5), (2, 1, "delivery", 0), (3, 4, "pickup", 7), (4, 3, "delivery", 0)]
    assert report.to_dict()["routes"][0]["stops"][0]["role"] == "pickup"
    split = instance.judge([[1, 4], [3, 2]])
    assert [v.kind for v in split.violations] == ["pair_split", "pair_split"]
    plain = fleetjudge.Instance(EXAMPLE).judge([[1]])
    assert (plain.routes[0].stops[0].pair, plain.routes[0].stops[0].role) == (None, None)
