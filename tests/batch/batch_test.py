#!/usr/bin/env python3
"""fleetjudge-batch against fleetjudge-report, and its pairing and quoting.

    batch_test.py agree BATCH REPORT CASES_DIR... [-- RUNNER...]
        every case folder with an instance and a solution, listed in one pair
        list: each CSV row and each JSON line holds the figures and the
        document of fleetjudge-report --json for that pair.
    batch_test.py data BATCH REPORT DATA_DIR [-- RUNNER...]
        DATA_DIR/instances with DATA_DIR/routes (plain lists): every CSV row
        holds the report's figures. Exits 77 (skipped) without the data.
    batch_test.py names BATCH CASES_DIR [-- RUNNER...]
        random file names (commas, quotes, blanks, line ends, bytes that are
        not UTF-8) in two folders: the pairs, their order, the unpaired count
        and the names read back through Python's csv module.
    batch_test.py objective BATCH [-- RUNNER...]
        small Li & Lim and Solomon instances written here, with --bks: the
        column vehicles_vs_bks only where some pair is compared by vehicles
        first, the gap only for as many vehicles, the best-known row of
        fewest vehicles.
    batch_test.py results BATCH DATA_DIR [-- RUNNER...]
        the results section: --group=solomon against means computed here,
        --format=bks read back with --bks, three runs per instance, -r, and
        LaTeX names. Exits 77 (skipped) without the data.
"""
import csv, io, json, os, random, re, shutil, subprocess, sys, tempfile

args = sys.argv[1:]
runner = args[args.index("--") + 1:] if "--" in args else []
args = args[:args.index("--")] if "--" in args else args
mode, batch = args[0], args[1]
failures = []


def run(*argv, stdin=None):
    r = subprocess.run(runner + [batch, "-q", *argv], capture_output=True, input=stdin)
    return r.returncode, r.stdout, r.stderr


def csv_rows(out):
    text = out.decode("utf-8", "surrogateescape")
    rows = list(csv.DictReader(io.StringIO(text, newline="")))
    return rows


def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def agree(row, doc, status, what):
    """One CSV row against the report's document and status."""
    expect(f"{what} status", row["status"], str(status))
    if doc["error"] is not None:
        expect(f"{what} error", row["error"], doc["error"])
        return
    s = doc["summary"]
    cost = s["declared_cost"]
    violations = len(doc["violations"]) + doc["violations_left_out"]
    want = {
        "customers": str(doc["instance"]["customers"]),
        "vehicles": str(s["vehicles"]),
        "distance": f"{s['distance']:.4f}",
        "distance_truncated": f"{s['truncated']['distance']:.1f}",
        "distance_rounded": f"{s['rounded']['distance']:.0f}",
        "matches": (cost["matches"] or "") if cost else "",
        "feasible": str(s["feasible"]).lower(),
        "feasible_truncated": str(s["truncated"]["feasible"]).lower(),
        "feasible_rounded": str(s["rounded"]["feasible"]).lower(),
        "decision_convention": s["decision"]["convention"],
        "decision_feasible": str(s["decision"]["feasible"]).lower(),
        "violations": str(violations),
        "first_violation": doc["violations"][0]["kind"] if doc["violations"] else "",
        "error": "",
    }
    if cost:
        expect(f"{what} declared_cost", float(row["declared_cost"]), cost["value"])
    elif s["declared_total"] is not None:
        expect(f"{what} declared_cost", float(row["declared_cost"]), s["declared_total"])
    for key, value in want.items():
        expect(f"{what} {key}", row[key], value)


def typed(rows):
    """CSV rows as JSON lines hold them: numbers as numbers, blanks as null."""
    def value(v):
        if v == "":
            return None
        if re.fullmatch(r"-?\d+", v):
            return int(v)
        return float(v) if re.fullmatch(r"-?[\d.]+(e[-+]?\d+)?", v) else v
    return [{k: value(v) for k, v in r.items()} for r in rows]


def natural_key(name):
    """Runs of digits as numbers before any other byte, other bytes without
    regard to ASCII case; the bytes themselves settle what is left."""
    tokens = [(0, int(t)) if t[:1].isdigit() else (1, t.lower()[0])
              for t in re.findall(rb"[0-9]+|[^0-9]", name)]
    return tokens, name


def stem_of(name):
    base = name.rsplit(b"/", 1)[-1]
    dot = base.rfind(b".")
    return base if dot <= 0 else base[:dot]


def report(instance, solution, options):
    r = subprocess.run(runner + [sys.argv[3], "--json", *options, instance, solution],
                       capture_output=True)
    return r.returncode, json.loads(r.stdout)


if mode == "agree":
    folders = [os.path.join(c, d) for c in args[3:] for d in sorted(os.listdir(c))]
    pairs = [(os.path.join(f, "instance"), os.path.join(f, "solution")) for f in folders
             if os.path.exists(os.path.join(f, "instance")) and os.path.exists(os.path.join(f, "solution"))]
    listing = "".join(f"{i}\t{s}\n" for i, s in pairs).encode()
    status, out, _ = run("--format=csv", "--order=given", "--pairs", "-", stdin=listing)
    rows = csv_rows(out)
    # A list saved with a byte-order mark reads the same, with a note.
    _, lines, err = run("--format=jsonl", "--order=given", "-j3", "--pairs", "-",
                        stdin=b"\xef\xbb\xbf" + listing)
    expect("note", err.splitlines()[0], b"fleetjudge-batch: the pair list on standard input "
                                        b"begins with a byte-order mark (EF BB BF), skipped")
    lines = lines.decode().splitlines()
    _, whole, _ = run("--format=jsonl", "--routes", "--order=given", "--pairs", "-", stdin=listing)
    whole = whole.decode().splitlines()
    expect("rows", (len(rows), len(lines), len(whole)), (len(pairs),) * 3)
    for (instance, solution), row, line, full in zip(pairs, rows, lines, whole):
        code, doc = report(instance, solution, [])
        agree(row, doc, code, os.path.basename(os.path.dirname(instance)))
        expect(f"{instance} name", row["name"], "instance")
        full, line = json.loads(full), json.loads(line)
        expect(f"{instance} jsonl names first", (next(iter(full)), full.pop("name"),
                                                 next(iter(line)), line.pop("name")),
               ("name", "instance") * 2)
        expect(f"{instance} jsonl --routes", full, doc)
        doc.pop("routes")
        expect(f"{instance} jsonl", line, doc)
    expect("batch status", status, max(int(r["status"]) for r in rows))

elif mode == "data":
    data = os.environ.get("FLEETJUDGE_DATA") or args[3]
    if not os.path.isdir(data):
        print(f"skipped: no benchmark data at {data}")
        sys.exit(77)
    instances, routes = os.path.join(data, "instances"), os.path.join(data, "routes")
    # Best-known costs keyed by stem in any case, one of them quoted.
    bks = os.path.join(tempfile.mkdtemp(), "bks.csv")
    open(bks, "w").write('instance,cost,vehicles\n"c101",800,9\nRC2_10_5,25797.5,\n')
    status, out, _ = run("--format=csv", "--solution-format=plain", "--bks", bks, instances, routes)
    rows = csv_rows(out)
    gaps = {os.path.basename(r["instance"]): (r["bks_vehicles"], r["gap_percent"]) for r in rows
            if r["bks_cost"]}
    expect("gaps", gaps, {"C101.txt": ("9", "3.6171"), "RC2_10_5.txt": ("", "0.1469")})
    # Without a declared cost, the chosen convention's distance: RC2_10_5's
    # published cost is its truncated distance, where it is also feasible.
    truncated = run("--format=csv", "--solution-format=plain", "--convention=truncated",
                    "--bks", bks, instances, routes)
    row = [r for r in csv_rows(truncated[1]) if r["instance"].endswith("RC2_10_5.txt")][0]
    expect("truncated", (truncated[0], row["status"], row["gap_percent"]), (0, "0", "0.0000"))
    expect("rows", len(rows), len(os.listdir(routes)))
    # The gap's convention: the best-known file's column, else the one the
    # declared cost matches, else --convention (exact under auto). R1_10_1's
    # exact distance is 53072.0112, C101's rounded one 829.
    top = tempfile.mkdtemp()

    def listed(name, cost):
        path = os.path.join(top, name + ".routes")
        lines = [l.split() for l in open(os.path.join(routes, name + ".routes")) if l.strip()]
        with open(path, "w") as f:
            f.writelines(f"Route #{k}: {' '.join(r)}\n" for k, r in enumerate(lines, 1))
            f.write(f"Cost {cost}\n" if cost else "")
        return path
    pairs = [(os.path.join(instances, n + ".txt"), listed(n, c)) for n, c in
             [("RC2_10_5", "25797.5"), ("C1_10_1", None), ("R1_10_1", "53026.1"), ("C101", None)]]
    open(os.path.join(top, "pairs"), "w").write("".join(f"{i}\t{s}\n" for i, s in pairs))
    open(os.path.join(top, "bks.csv"), "w").write(
        "instance,vehicles,cost,convention\nRC2_10_5,,25797.5,\nC1_10_1,,42444.8,truncated\n"
        "R1_10_1,,53026.1,Exact\nC101,,828.94,\n" + "".join(f"X{k},,1,\n" for k in range(7)))
    for options, want in [
            ([], [("0", "truncated", "true", "0.0000", "truncated"),
                  ("0", "exact", "true", "0.0000", "truncated"),
                  ("0", "truncated", "true", "0.0866", "exact"),
                  ("0", "exact", "true", "-0.0004", "exact")]),
            (["--convention=rounded"], [("0", "rounded", "true", "0.0000", "truncated"),
                                        ("0", "rounded", "true", "0.0000", "truncated"),
                                        ("0", "rounded", "true", "0.0866", "exact"),
                                        ("0", "rounded", "true", "0.0072", "rounded")])]:
        _, out, err = run("--format=csv", "--order=given", "--bks", os.path.join(top, "bks.csv"),
                          *options, "--pairs", os.path.join(top, "pairs"))
        got = [(r["status"], r["decision_convention"], r["decision_feasible"], r["gap_percent"],
                r["gap_convention"]) for r in csv_rows(out)]
        expect(f"gap conventions {options}", got, want)
        expect("unpaired best-known solutions", err.decode(),
               "fleetjudge-batch: 7 best-known solutions match no pair: X0, X1, X2, X3, X4 and 2 more\n")
    # The totals count feasibility in the deciding convention; the feasible
    # column stays exact.
    for options, feasible in [([], 4), (["--convention=exact"], 2)]:
        code, out, _ = run("--pairs", os.path.join(top, "pairs"), *options)
        expect(f"totals {options}", (code, out.decode().splitlines()[-1].split(", ")[1]),
               (0 if feasible == 4 else 1, f"{feasible} feasible"))
    _, out, _ = run("--format=csv", "--order=given", "--pairs", os.path.join(top, "pairs"))
    expect("exact feasibility", [r["feasible"] for r in csv_rows(out)],
           ["false", "true", "false", "true"])
    shutil.rmtree(top)
    for row in rows:
        code, doc = report(row["instance"], row["solution"], ["--solution-format=plain"])
        agree(row, doc, code, os.path.basename(row["solution"]))
    expect("batch status", status, max(int(r["status"]) for r in rows))

elif mode == "names":
    cases = args[2]
    good = open(os.path.join(cases, "figures", "instance"), "rb").read(), \
        open(os.path.join(cases, "figures", "solution"), "rb").read()
    bad = open(os.path.join(cases, "route-violations", "instance"), "rb").read(), \
        open(os.path.join(cases, "route-violations", "solution"), "rb").read()
    pieces = [b"a", b"Z", b"7", b",", b'"', b" ", b"\n", b"\r", b"\t", b".", b"\xff", b"\xe9",
              b"\xc3\xa9", b"-"]
    rng = random.Random(int(os.environ.get("BATCH_SEED", "17")))
    for trial in range(20):
        top = tempfile.mkdtemp()
        idir, sdir = os.path.join(top.encode(), b"i,\"n \xff"), os.path.join(top.encode(), b"s")
        os.mkdir(idir), os.mkdir(sdir)
        model = {}  # solution name -> (instance names, status)
        unpaired = 0
        for k in range(12):
            stem = b"".join(rng.choice(pieces) for _ in range(rng.randint(1, 6))) + b"%d" % k
            content = rng.choice([good, bad])
            kind = rng.randrange(5)  # 0: no instance, 1: two, 2: unpaired, else a pair
            inames = [] if kind == 0 else [stem.upper() + b".txt"] + ([stem + b".vrp"] if kind == 1 else [])
            for name in inames:
                open(os.path.join(idir, name), "wb").write(content[0])
            if kind == 2:
                unpaired += 1
                continue
            sname = stem + rng.choice([b".sol", b".routes", b".txt", b".SOL"])
            open(os.path.join(sdir, sname), "wb").write(content[1])
            model[sname] = (inames, 0 if content is good else 1)
        outs = [run("--format=csv", f"-j{j}", idir, sdir) for j in (1, 4)]
        expect("-j1 and -j4", outs[0][1], outs[1][1])
        rows = csv_rows(outs[0][1])
        # Rows in the natural order of the names: the instance's stem where
        # there is one instance, else the solution's.
        name = {s: stem_of(model[s][0][0]) if len(model[s][0]) == 1 else stem_of(s) for s in model}
        order = sorted(model, key=lambda s: (natural_key(name[s]), s))
        expect("names", [r["name"] for r in rows], [os.fsdecode(name[s]) for s in order])
        expect("solutions", [r["solution"] for r in rows],
               [os.fsdecode(os.path.join(sdir, s)) for s in order])
        for row, sname in zip(rows, order):
            inames, status = model[sname]
            want = os.fsdecode(os.path.join(idir, inames[0])) if len(inames) == 1 else ""
            expect("instance", row["instance"], want)
            expect(f"status of {sname!r}", row["status"], str(status if len(inames) == 1 else 2))
            expect("error", bool(row["error"]), len(inames) != 1)
        total = run(idir, sdir)[1].decode("utf-8", "surrogateescape").splitlines()[-1]
        expect("unpaired", total.endswith(f"{unpaired} instances without a solution")
               or total.endswith(f"{unpaired} instance without a solution"), unpaired > 0)
        want_status = max(int(r["status"] or -1) for r in rows)
        expect("status", outs[0][0], want_status)
        # The same pairs through a list: names without line ends or tabs only.
        listed = [(model[s][0][0], s) for s in order if len(model[s][0]) == 1
                  and not any(c in s + model[s][0][0] for c in b"\n\r\t")]
        lst = b"".join(os.path.join(idir, i) + b"\t" + os.path.join(b"s", s) + b"\n" for i, s in listed)
        open(os.path.join(top.encode(), b"list"), "wb").write(lst)
        status, out, _ = run("--format=jsonl", "--pairs", os.path.join(top, "list"))
        docs = [json.loads(line) for line in out.splitlines()]
        expect("list paths", [(d["instance"]["path"], d["solution"]["path"]) for d in docs],
               [(os.path.join(idir, i).decode("latin-1"), os.path.join(b"s", s).decode("latin-1"))
                for i, s in listed])
        shutil.rmtree(top)

    # What cannot be judged: its row or message, and status 2.
    top = tempfile.mkdtemp()
    i, s = os.path.join(top, "i"), os.path.join(top, "s")
    os.mkdir(i), os.mkdir(s), os.mkdir(os.path.join(s, "a.routes"))
    open(os.path.join(i, "a.txt"), "wb").write(good[0])
    status, out, _ = run("--format=csv", i, s)
    expect("unreadable solution", (status, csv_rows(out)[0]["status"]), (2, "2"))
    expect("missing folder", run(i, os.path.join(top, "none"))[0], 2)
    os.rmdir(os.path.join(s, "a.routes"))
    expect("empty folder", run(i, s)[0], 2)
    status, out, _ = run("--format=csv", "--pairs", "-", stdin=b"# c\n\nno tab\n")
    expect("line without a tab", (status, csv_rows(out)[0]["error"]),
           (2, "line 3 of standard input has no tab between the instance and the solution"))
    open(os.path.join(s, "a.sol"), "wb").write(good[1])
    with open("/dev/full", "wb") as full:
        r = subprocess.run(runner + [batch, i, s], stdout=full, capture_output=False,
                           stderr=subprocess.PIPE)
    expect("write error", (r.returncode, b"cannot write standard output" in r.stderr), (2, True))
    shutil.rmtree(top)

elif mode == "results":
    data = os.environ.get("FLEETJUDGE_DATA") or args[2]
    if not os.path.isdir(data):
        print(f"skipped: no benchmark data at {data}")
        sys.exit(77)
    instances, routes, vrplib = (os.path.join(data, d) for d in ("instances", "routes", "vrplib"))
    plain = "--solution-format=plain"

    # --group=solomon against the pair rows grouped here: feasible pairs only.
    _, out, _ = run("--format=csv", plain, instances, routes)
    pairs = csv_rows(out)
    expect("55 pairs", len(pairs), 55)
    groups = {}
    for r in pairs:
        m = re.fullmatch(r"(RC|R|C)([12])(\d\d)", r["name"]) or \
            re.fullmatch(r"((RC|R|C)[12]_\d+)_\d+", r["name"])
        label = (m.group(1) + m.group(2) if m.lastindex == 3 else m.group(1)) if m else "other"
        g = groups.setdefault(label, [0, []])
        g[0] += 1
        if r["feasible"] == "true":
            g[1].append((int(r["vehicles"]), float(r["distance"])))
    _, out, _ = run("--format=csv", "--group=solomon", plain, instances, routes)
    got = {r["group"]: r for r in csv_rows(out)}
    expect("groups", sorted(got), sorted(groups))
    for label, (count, feasible) in groups.items():
        r = got.get(label, {})
        if not feasible:
            expect(f"group {label} without feasible pairs",
                   (r["pairs"], r["feasible"], r["mean_vehicles"], r["mean_distance"]),
                   (str(count), "0", "", ""))
            continue
        want = (count, len(feasible), sum(v for v, _ in feasible) / len(feasible),
                sum(d for _, d in feasible) / len(feasible))
        have = (int(r["pairs"]), int(r["feasible"]), float(r["mean_vehicles"]),
                float(r["mean_distance"]))
        if have[:2] != want[:2] or abs(have[2] - want[2]) > 1e-9 or abs(have[3] - want[3]) > 1e-4:
            failures.append(f"group {label}: got {have}, want {want}")
    _, table, _ = run("--group=solomon", plain, instances, routes)
    total = table.decode().splitlines()[-1].split()
    expect("CNV and CTD", (total[0], total[-2], total[-1]),
           ("total", str(sum(v for g in groups.values() for v, _ in g[1])),
            f"{sum(d for g in groups.values() for _, d in g[1]):.2f}"))

    # --decimals: the table, markdown and LaTeX round distances, gaps and
    # means to N places, from the same figures the JSON lines hold in full;
    # CSV and JSON lines do not change.
    top = tempfile.mkdtemp()
    _, out, _ = run("--format=jsonl", plain, instances, routes)
    exact = {d["name"]: d["summary"]["distance"] for d in map(json.loads, out.splitlines())}
    bks = os.path.join(top, "bks.csv")
    costs = {n: round(d) + 1 for k, (n, d) in enumerate(sorted(exact.items())) if k % 2}
    open(bks, "w").write("instance,vehicles,cost\n" + "".join(f"{n},,{c}\n" for n, c in costs.items()))
    gap = {n: 100 * (exact[n] - c) / c for n, c in costs.items()}

    def near(what, cell, value, places):
        if not re.fullmatch(rf"-?\d+\.\d{{{places}}}" if places else r"-?\d+", cell) or \
                abs(float(cell) - value) > 0.5 * 10 ** -places + 1e-9:
            failures.append(f"{what}: {cell!r} is not {value} to {places} decimals")
    for places in (0, 3, 5):
        cols = f"--columns=name,distance,gap_percent"
        for fmt, cells in (("table", lambda l: l.split()),
                           ("markdown", lambda l: [c.strip() for c in l.strip("|").split("|")]),
                           ("latex", lambda l: [c.strip().replace("\\_", "_") for c in
                                      l.rstrip(" \\").split("&")])):
            _, out, _ = run(f"--format={fmt}", f"--decimals={places}", cols, "--bks", bks, plain,
                            instances, routes)
            lines = [cells(l) for l in out.decode().splitlines()]
            body = {c[0]: c for c in lines if c and c[0] in exact}
            expect(f"{fmt} rows", sorted(body), sorted(exact))
            for n, c in body.items():
                expect(f"{fmt} {n} distance", c[1], f"{exact[n]:.{places}f}")
                if n in gap:
                    near(f"{fmt} {n} gap", c[2], gap[n], places)
            total = ([c for c in lines if c and c[0] == "total"] + [["", "", ""]])[0]
            near(f"{fmt} total distance", total[1], sum(exact.values()), places)
            near(f"{fmt} mean gap", total[2], sum(gap.values()) / len(gap), places)
        _, out, _ = run("--group=solomon", f"--decimals={places}", "--bks", bks, plain,
                        "--columns=group,feasible,mean_distance,total_distance,mean_gap_percent",
                        instances, routes)
        _, lines, _ = run("--group=solomon", "--format=jsonl", "--bks", bks, plain,
                          instances, routes)
        means = {d["group"]: d for d in map(json.loads, lines.splitlines())}
        rows = [l.split() for l in out.decode().splitlines()[2:-1]]
        expect(f"group rows to {places} decimals", sorted(c[0] for c in rows), sorted(means))
        for c in rows:
            d = means.get(c[0], {})
            want = [d.get(k) for k in ("mean_distance", "total_distance", "mean_gap_percent")]
            expect(f"group {c[0]} to {places} decimals", c[2:],
                   [f"{v:.{places}f}" for v in want if v is not None])
    for options in (["--format=csv", "--bks", bks], ["--format=jsonl"],
                    ["--format=csv", "--per-instance"], ["--format=jsonl", "--group=solomon"]):
        expect(f"{options} without decimals", run(*options, "--decimals=1", plain, instances, routes),
               run(*options, plain, instances, routes))

    # Group rows as JSON lines: the CSV's columns as numbers, the figures of
    # the groups made here, null where a group has no feasible pair.
    _, out, _ = run("--format=jsonl", "--group=solomon", "--bks", bks, plain, instances, routes)
    docs = [json.loads(l) for l in out.splitlines()]
    _, out, _ = run("--format=csv", "--group=solomon", "--bks", bks, plain, instances, routes)
    expect("jsonl as csv", docs, typed(csv_rows(out)))
    expect("group keys", [list(d) for d in docs[:1]],
           [["group", "pairs", "feasible", "mean_vehicles", "mean_distance", "mean_gap_percent",
             "total_vehicles", "total_distance"]])
    by_group = {}
    for r in pairs:
        m = re.fullmatch(r"(RC|R|C)([12])(\d\d)", r["name"]) or \
            re.fullmatch(r"((RC|R|C)[12]_\d+)_\d+", r["name"])
        label = (m.group(1) + m.group(2) if m.lastindex == 3 else m.group(1)) if m else "other"
        by_group.setdefault(label, []).append(r["name"])
    expect("jsonl groups", [d["group"] for d in docs], sorted(by_group, key=lambda g: natural_key(g.encode())))
    for d in docs:
        names = by_group.get(d["group"], [])
        fine = [n for n in names if next(r for r in pairs if r["name"] == n)["feasible"] == "true"]
        vehicles = sum(int(r["vehicles"]) for r in pairs if r["name"] in fine)
        distance = sum(exact[n] for n in fine)
        gaps = [gap[n] for n in fine if n in gap]
        want = {"pairs": len(names), "feasible": len(fine), "total_vehicles": vehicles}
        expect(f"jsonl {d['group']} counts", {k: d[k] for k in want}, want)
        if not fine:
            expect(f"jsonl {d['group']} means", (d["mean_vehicles"], d["mean_distance"],
                                                  d["total_distance"]), (None, None, 0.0))
            continue
        for key, value in (("mean_vehicles", vehicles / len(fine)),
                           ("mean_distance", distance / len(fine)), ("total_distance", distance),
                           ("mean_gap_percent", sum(gaps) / len(gaps) if gaps else None)):
            if value is None or d[key] is None:
                expect(f"jsonl {d['group']} {key}", d[key], value)
            elif abs(d[key] - value) > 1e-9 * max(1, abs(value)):
                failures.append(f"jsonl {d['group']} {key}: got {d[key]}, want {value}")
    shutil.rmtree(top)

    # A folder of published solutions as best-known ones: gaps of exactly 0.
    _, out, _ = run("--format=bks", vrplib, vrplib)
    expect("bks", out.decode().replace("\r\n", "\n"),
           "instance,vehicles,cost,convention\nC1_10_1,100,42444.8,truncated\n"
           "Leuven1,203,192848,rounded\nRC2_10_5,27,25797.5,truncated\n"
           "X-n101-k25,26,27591,rounded\nX-n1001-k43,43,72355,rounded\n")
    top = tempfile.mkdtemp()
    bks = os.path.join(top, "bks.csv")
    open(bks, "wb").write(out)
    _, out, _ = run("--format=csv", "--bks", bks, vrplib, vrplib)
    expect("gaps to itself", [(r["gap_percent"], r["gap_convention"]) for r in csv_rows(out)],
           [("0.0000", "truncated"), ("0.0000", "rounded"), ("0.0000", "truncated"),
            ("0.0000", "rounded"), ("0.0000", "rounded")])
    _, out, _ = run("--format=csv", "--per-instance", "--bks", bks, vrplib, vrplib)
    expect("best gaps", [(r["best_gap_percent"], r["convention"]) for r in csv_rows(out)],
           [("0", "truncated"), ("0", "rounded"), ("0", "truncated"), ("0", "rounded"),
            ("0", "rounded")])

    # Three runs: the published routes; one route split in two (feasible,
    # longer); a customer left out (infeasible).
    names = ["C101", "R102", "RC103"]
    seeds = [os.path.join(top, f"seed{k}") for k in (1, 2, 3)]
    for k, seed in enumerate(seeds):
        os.mkdir(seed)
        for n in names:
            lines = [l.split() for l in open(os.path.join(routes, n + ".routes")) if l.strip()]
            if k == 1:
                lines = [lines[0][:2], lines[0][2:]] + lines[1:]
            if k == 2:
                lines[0] = lines[0][1:]
            open(os.path.join(seed, n + ".routes"), "w").write("".join(" ".join(l) + "\n" for l in lines))
    outs = [run("--format=csv", plain, f"-j{j}", instances, *seeds) for j in (1, 3)]
    expect("runs at -j1 and -j3", outs[0][1], outs[1][1])
    rows = csv_rows(outs[0][1])
    expect("run column", [(r["name"], r["run"]) for r in rows],
           [(n, s) for n in names for s in seeds])
    _, out, _ = run("--format=csv", "--per-instance", plain, "-j3", instances, *seeds)
    for n, r in zip(names, csv_rows(out)):
        mine = [x for x in rows if x["name"] == n and x["feasible"] == "true"]
        best = min(mine, key=lambda x: (float(x["distance"]), int(x["vehicles"])))
        expect(f"{n} runs", (r["name"], r["runs"], r["feasible"], r["best_vehicles"]),
               (n, "3", "2", best["vehicles"]))
        expect(f"{n} best is the first seed", best["run"], seeds[0])
        mean = sum(float(x["distance"]) for x in mine) / 2
        if abs(float(r["best_distance"]) - float(best["distance"])) > 5e-5 or \
                abs(float(r["mean_distance"]) - mean) > 5e-5 or \
                float(r["mean_vehicles"]) != sum(int(x["vehicles"]) for x in mine) / 2:
            failures.append(f"{n} per instance: {r}")
    # The same rows as JSON lines, and the groups of their best runs.
    _, lines, _ = run("--format=jsonl", "--per-instance", plain, instances, *seeds)
    docs = [json.loads(l) for l in lines.splitlines()]
    expect("per-instance jsonl as csv", docs, typed(csv_rows(out)))
    expect("per-instance keys", [list(d) for d in docs[:1]],
           [["name", "instance", "runs", "feasible", "best_vehicles", "mean_vehicles",
             "best_distance", "mean_distance", "best_gap_percent", "mean_gap_percent",
             "convention"]])
    expect("per-instance jsonl", [(d["name"], d["instance"], d["runs"], d["feasible"],
                                   d["best_gap_percent"], d["convention"]) for d in docs],
           [(n, os.path.join(instances, n + ".txt"), 3, 2, None, "exact") for n in names])
    _, lines, _ = run("--format=jsonl", "--per-instance", "--group=solomon", plain, instances,
                      *seeds)
    got = [json.loads(l) for l in lines.splitlines()]
    expect("groups of the best", [(g["group"], g["instances"], g["feasible"], g["total_vehicles"],
                                   g["mean_distance"], g["total_distance"]) for g in got],
           [(re.sub(r"\d\d$", "", d["name"]), 1, 1, d["best_vehicles"], d["best_distance"],
             d["best_distance"]) for d in docs])
    _, out, _ = run("--per-instance", "--group=solomon", "--format=markdown", plain, instances, *seeds)
    lines = out.decode().splitlines()
    expect("caption", lines[0].startswith("One row per group: means over its instances of each "
                                          "instance's best"), True)
    expect("classes", [l.split("|")[1].strip() for l in lines[4:]], ["C1", "R1", "RC1", "total"])

    # -r: the same relative folder first, else the only instance of the stem.
    idir, sdir = os.path.join(top, "i"), os.path.join(top, "s")
    for d in ("i/a", "i/b", "i/c/deep", "s/a", "s/d"):
        os.makedirs(os.path.join(top, d))
    c101 = open(os.path.join(instances, "C101.txt"), "rb").read()
    for d in ("a", "b", "c/deep"):
        open(os.path.join(idir, d, "C101.txt" if d != "c/deep" else "C102.txt"), "wb").write(c101)
    published = open(os.path.join(routes, "C101.routes"), "rb").read()
    for p in ("a/C101.routes", "d/C101.routes", "C102.routes"):
        open(os.path.join(sdir, p), "wb").write(published)
    status, out, _ = run("--format=csv", plain, "-r", idir, sdir)
    got = [(r["solution"][len(sdir) + 1:], r["instance"][len(idir) + 1:] if r["instance"] else "",
            r["status"]) for r in csv_rows(out)]
    expect("-r", (status, got), (2, [("a/C101.routes", "a/C101.txt", "0"),
                                     ("d/C101.routes", "", "2"),
                                     ("C102.routes", "c/deep/C102.txt", "0")]))
    expect("-r names both", csv_rows(out)[1]["error"],
           f"more than one instance: {idir}/a/C101.txt and {idir}/b/C101.txt")
    expect("without -r", run(plain, idir, sdir)[0], 2)

    # LaTeX: random names escaped, read back the same.
    pieces = ["a", "7", "&", "%", "$", "#", "_", "{", "}", "~", "^", "\\", " ", "é", "-"]
    rng = random.Random(int(os.environ.get("BATCH_SEED", "17")))
    ldir = os.path.join(top, "latex")
    os.mkdir(ldir)
    want = []
    for k in range(30):
        stem = "".join(rng.choice(pieces) for _ in range(rng.randint(1, 8))) + str(k)
        want.append(stem)
        open(os.path.join(ldir, stem + ".txt"), "wb").write(c101)
        open(os.path.join(ldir, stem + ".routes"), "wb").write(published)
    _, out, _ = run("--format=latex", plain, ldir, ldir)
    body = out.decode().split("\\midrule\n")[1].splitlines()
    back = []
    for line in body:
        cell = line.split(" & ")[0]
        expect("no bare special", re.search(r"(?<!\\)[&%$#_{}~^]", re.sub(
            r"\\(textbackslash|textasciitilde|textasciicircum)\{\}", "", cell)), None)
        for code, char in (("\\textbackslash{}", "\\"), ("\\textasciitilde{}", "~"),
                           ("\\textasciicircum{}", "^")):
            cell = cell.replace(code, char)
        back.append(re.sub(r"\\([&%$#_{}])", r"\1", cell))
    expect("latex names", sorted(back), sorted(want))
    expect("latex rules", [l for l in out.decode().splitlines() if l.startswith("\\") and
                           "rule" in l], ["\\toprule", "\\midrule", "\\midrule", "\\bottomrule"])

    # Options that cannot go together: status 2, the reason, and no rows.
    open(os.path.join(top, "pairs"), "w").write(
        f"{os.path.join(instances, 'C101.txt')}\t{os.path.join(routes, 'C101.routes')}\n")
    folders = [instances, routes]
    listed = ["--pairs", os.path.join(top, "pairs")]
    for options, reason in [
            (["--routes", "--per-instance", "--format=jsonl", *folders], "--routes needs"),
            (["--routes", "--group=solomon", "--format=jsonl", *folders], "--routes needs"),
            (["--routes", "--format=csv", *folders], "--routes needs --format=jsonl"),
            (["-r", *listed], "-r looks into folders, not a pair list"),
            (["--recursive", "--format=jsonl", *listed], "-r looks into folders"),
            ([*listed, instances], "--pairs takes no folders"),
            (["--columns=name,nosuch", *folders], "no column nosuch in these rows; there are name,"),
            (["--columns=name,best_distance", "--format=csv", *folders], "no column best_distance"),
            (["--columns=group,distance", "--group=solomon", "--format=csv", *folders],
             "no column distance in these rows; there are group,"),
            (["--columns=name,distance,name", *folders], "the column name is named twice"),
            (["--columns=name,,distance", *folders], "--columns has an empty name"),
            (["--columns=name", "--format=jsonl", *folders], "--columns is for the table"),
            (["--group=(R", *folders], "the --group expression is not valid"),
            (["--group=R\\d+", "--format=csv", *folders],
             "the --group expression has no capture group"),
            (["--group=", *folders], "--group needs"),
            (["--format=bks", "--per-instance", *folders], "--format=bks gives one row"),
            (["--decimals=13", *folders], "--decimals needs a number of decimals, 0 to 12"),
            (["--decimals=-1", *folders], "--decimals needs"),
            (["--decimals=2x", "--format=latex", *folders], "--decimals needs")]:
        code, out, err = run(plain, *options)
        expect(f"refused {options}", (code, out, err.decode().startswith(
            f"fleetjudge-batch: {reason}")), (2, b"", True))
    # Column names of the aggregates are accepted where they exist.
    _, out, _ = run("--format=csv", "--group=solomon", "--columns=mean_distance,group", plain,
                    instances, *seeds)
    expect("group columns", out.decode().splitlines()[0], "mean_distance,group")
    shutil.rmtree(top)

if mode == "objective":
    top = tempfile.mkdtemp()
    lilim, solomon = os.path.join(top, "lilim"), os.path.join(top, "solomon")
    runs = [os.path.join(top, r) for r in ("run1", "run2")]
    for d in (lilim, solomon, *runs):
        os.mkdir(d)
    # Two requests from the depot: 1 to 2 north, 3 to 4 east.
    instance = ("2\t10\t1\n0\t0\t0\t0\t0\t1000\t0\t0\t0\n1\t0\t10\t5\t0\t1000\t0\t0\t2\n"
                "2\t0\t20\t-5\t0\t1000\t0\t1\t0\n3\t10\t0\t3\t0\t1000\t0\t0\t4\n"
                "4\t20\t0\t-3\t0\t1000\t0\t3\t0\n")
    for name in ("lc1", "lc2"):
        open(os.path.join(lilim, name + ".txt"), "w").write(instance)
    # lc1: one vehicle (72.3607); lc2: two (80). As runs of lc1 with declared
    # costs: two vehicles over 80 and one over 94.7871.
    open(os.path.join(lilim, "lc1.sol"), "w").write("Route 1: 1 2 3 4\n")
    open(os.path.join(lilim, "lc2.sol"), "w").write("Route 1: 1 2\nRoute 2: 3 4\n")
    open(os.path.join(runs[0], "lc1.sol"), "w").write("Route 1: 1 2\nRoute 2: 3 4\nCost 80\n")
    open(os.path.join(runs[1], "lc1.sol"), "w").write("Route 1: 1 3 2 4\nCost 94.79\n")
    open(os.path.join(solomon, "five.txt"), "w").write(
        "five\n\nVEHICLE\nNUMBER CAPACITY\n 3 10\n\nCUSTOMER\nCUST NO. XCOORD. YCOORD. DEMAND "
        "READY TIME DUE DATE SERVICE TIME\n\n 0 0 0 0 0 1000 0\n 1 3 4 4 0 1000 0\n"
        " 2 6 8 3 0 1000 0\n 3 6 0 5 0 1000 0\n 4 0 -8 5 0 1000 0\n")
    open(os.path.join(solomon, "five.sol"), "w").write("Route 1: 1 2\nRoute 2: 3\nRoute 3: 4\n")
    bks = os.path.join(top, "bks.csv")
    open(bks, "w").write("instance,vehicles,cost\nlc1,1,70\nlc2,1,70\nfive,2,40\n")

    def columns(*options):
        code, out, err = run("--format=csv", "--bks", bks, *options)
        rows = csv_rows(out)
        head = (out.decode().splitlines() or [""])[0].split(",")
        return code, head, {r["name"]: r for r in rows}

    # A VRPTW set keeps its columns and its gaps unless vehicles first is asked.
    _, head, rows = columns(solomon, solomon)
    expect("vrptw columns", head[-1], "gap_convention")
    expect("vrptw gap", rows["five"]["gap_percent"] != "", True)
    _, head, rows = columns("--objective=vehicles-first", solomon, solomon)
    expect("vrptw vehicles first", (head[-1], rows["five"]["gap_percent"],
                                    rows["five"]["vehicles_vs_bks"]), ("vehicles_vs_bks", "", "more"))
    # Li & Lim's instances are compared by vehicles first without asking,
    # told from the files' first bytes.
    _, head, rows = columns(lilim, lilim)
    expect("pdptw", [(rows[n].get("vehicles_vs_bks"), rows[n]["gap_percent"])
                     for n in ("lc1", "lc2")], [("same", "3.3724"), ("more", "")])
    # The best-known row of the two runs: fewest vehicles first, unless asked.
    _, out, _ = run("--format=bks", lilim, *runs)
    expect("bks vehicles first", out.decode().splitlines()[1], "lc1,1,94.79,exact")
    _, out, _ = run("--format=bks", "--objective=distance", lilim, *runs)
    expect("bks by distance", out.decode().splitlines()[1].rsplit(",", 1)[0], "lc1,2,80")
    code, out, err = run("--objective=fewest", lilim, lilim)
    expect("refused", (code, out, err.decode().splitlines()[0]),
           (2, b"", "fleetjudge-batch: --objective is vehicles-first or distance"))
    shutil.rmtree(top)

for f in failures[:30]:
    print(f)
print(f"{mode}: {len(failures)} failures")
sys.exit(1 if failures else 0)
