#!/usr/bin/env python3
"""fleetjudge-report's page: well-formed, self-contained, safe with hostile
input, and drawn by a real browser.

    html_test.py page REPORT EXAMPLES_DIR [RUNNER...]     the page parses as XML, fetches
                                              nothing, escapes input text; the
                                              option's failures give status 2
    html_test.py browser REPORT EXAMPLES_DIR  headless Chromium renders it
                                              (skips, status 77, without one)
    html_test.py data REPORT DATA_DIR         the page of the 1000-customer R1_10_1:
                                              route colours, labels, stop titles; the
                                              page of the capacitated X-n101-k25
                                              (skips, status 77, without the data)
"""
import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

mode, report, examples = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
runner = sys.argv[4:]  # an emulator for a cross build
tmp = pathlib.Path(tempfile.mkdtemp())
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def page_of(instance, solution, page, *extra):
    run = subprocess.run([*runner, report, *extra, "--html", str(page), str(instance), str(solution)],
                         capture_output=True)
    return run, page.read_bytes() if page.is_file() else b""


def well_formed(page):
    return subprocess.run(["xmllint", "--noout", str(page)]).returncode == 0


def external_refs(html):
    refs = re.findall(rb"https?:[^\s\"'<>]*", html)
    return set(refs) - {b"http://www.w3.org/1999/xhtml", b"http://www.w3.org/2000/svg"}


def test_page():
    page = tmp / "depot100.html"
    run, html = page_of(examples / "depot100.txt", examples / "depot100-overloaded.sol", page)
    check(run.returncode == 1, f"status {run.returncode} for a solution with violations")
    check(run.stdout.startswith(b"instance "), "the text report still goes to stdout")
    check(well_formed(page), "the example's page is well-formed XML")
    check(not external_refs(html), f"references other than namespaces: {external_refs(html)}")
    check(html.index(b"<svg") < html.index(b"<polyline"), "the route map is the first picture")
    check(len(re.findall(rb"<polyline[^>]*><title>route ", html)) == 10, "one line per route")
    for kind in (b"capacity_exceeded", b"time_window_missed"):
        check(re.search(rb"<title>[^<]*" + kind, html) is not None, f"{kind} named on the map")

    # Hostile text: a name line with markup, a control character and a Latin-1
    # byte; paths with & and <.
    bad = tmp / "a&b<c"
    bad.mkdir()
    text = (examples / "depot100.txt").read_bytes().split(b"\n", 1)[1]
    (bad / "i<x>.txt").write_bytes(b"<script>alert(1)</script> \x01caf\xe9 \"q\"\n" + text)
    shutil.copy(examples / "depot100.sol", bad / "s&t.sol")
    page = tmp / "hostile.html"
    run, html = page_of(bad / "i<x>.txt", bad / "s&t.sol", page, "--json")
    check(run.returncode == 0, f"status {run.returncode} for the valid solution")
    check(run.stdout.startswith(b"{"), "with --json, the JSON goes to stdout")
    check(well_formed(page), "the hostile page is well-formed XML")
    check(html.count(b"<script") == 1, "the page's own script is its only script")
    check(b"&lt;script&gt;alert(1)&lt;/script&gt;" in html, "the name line is escaped")
    check(b"caf&#233;" in html and b"\x01" not in html, "Latin-1 kept, control character dropped")
    check(b"a&amp;b&lt;c/i&lt;x&gt;.txt" in html and b"s&amp;t.sol" in html, "paths escaped")

    # A page that cannot be written: a message and status 2.
    for where in (tmp / "no-such-dir" / "p.html", pathlib.Path("/dev/full")):
        run, _ = page_of(examples / "depot100.txt", examples / "depot100.sol", where)
        check(run.returncode == 2 and b"cannot write the page" in run.stderr,
              f"{where}: status {run.returncode}, stderr {run.stderr!r}")
    solution = tmp / "depot100.sol"
    shutil.copy(examples / "depot100.sol", solution)
    run, _ = page_of(examples / "depot100.txt", solution, solution)
    check(run.returncode == 2 and solution.read_bytes() == (examples / "depot100.sol").read_bytes(),
          "the page never replaces an input file")


def png_colours(path):
    """The distinct colours of an 8-bit RGB or RGBA PNG, and the pixel count."""
    data = path.read_bytes()
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "an unexpected PNG kind"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, bpp = zlib.decompress(idat), 3 if colour == 2 else 4
    stride, prev, colours = width * bpp, bytearray(width * bpp), set()
    for y in range(height):
        filt, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if filt == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, prev))
        elif filt != 0:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b, c = prev[i], prev[i - bpp] if i >= bpp else 0
                if filt == 1:
                    pred = a
                elif filt == 3:
                    pred = (a + b) // 2
                else:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[i] = (line[i] + pred) & 255
        colours.update(bytes(line[i:i + 3]) for i in range(0, stride, bpp))
        prev = line
    return colours, width * height


def test_browser():
    browser = shutil.which("chromium")
    if browser is None:
        print("SKIP: no chromium installed (apt-get install chromium)")
        sys.exit(77)
    page = tmp / "depot100.html"
    page_of(examples / "depot100.txt", examples / "depot100-overloaded.sol", page)
    png = tmp / "depot100.png"
    subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                    "--no-first-run", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync",
                    f"--user-data-dir={tmp / 'profile'}", f"--screenshot={png}",
                    "--window-size=1000,1600", page.resolve().as_uri()],
                   capture_output=True, timeout=120)
    check(png.exists(), "chromium wrote a screenshot")
    if not png.exists():
        return
    colours, pixels = png_colours(png)
    print(f"{len(colours)} distinct colours in {pixels} pixels")
    # A blank or unstyled page has a handful of greys; the routes add their
    # palette and antialiasing, the violations their red.
    check(len(colours) > 200, f"only {len(colours)} colours: the pictures are not drawn")
    check(b"\xd6\x27\x28" in colours, "the violations' red is on the screen")


NS = "{http://www.w3.org/2000/svg}"


def map_of(page):
    """The map's SVG element, and its routes' colours by route."""
    svg = next(ET.parse(page).getroot().iter(NS + "svg"))
    return svg, {l.get("data-route"): l.get("stroke") for l in svg.iter(NS + "polyline")
                 if l.get("class") == "route"}


def labels_apart(map_svg, html):
    """The map's labels, checked: boxes from the SVG's own figures, 0.6 em a
    character from the anchor, one em above the baseline and 0.3 below; none
    overlaps another or leaves the map; the note under it counts the rest."""
    width, height = map(float, map_svg.get("viewBox").split()[2:])
    boxes = []
    for t in next(g for g in map_svg.iter(NS + "g") if g.get("class") == "labels").iter(NS + "text"):
        x, y, size = float(t.get("x")), float(t.get("y")), float(t.get("font-size"))
        w = 0.6 * size * len(t.text)
        x -= {"start": 0, "middle": w / 2, "end": w}[t.get("text-anchor", "start")]
        boxes.append((x, y - size, x + w, y + 0.3 * size, t.text))
    for i, a in enumerate(boxes):
        check(0 <= a[0] and a[2] <= width and 0 <= a[1] and a[3] <= height, f"{a} leaves the map")
        for b in boxes[:i]:
            check(a[2] <= b[0] or b[2] <= a[0] or a[3] <= b[1] or b[3] <= a[1], f"{a} overlaps {b}")
    rings = sum(1 for g in map_svg.iter(NS + "g") for c in g.findall(NS + "circle")
                if c.get("stroke") == "#d62728" and g.find(NS + "title") is not None)
    note = re.search(rb"(\d+) of (\d+) customers with violations are labelled on the map"
                     rb" \(at most \d+, none overlapping\); (\d+) more", html)
    counts = tuple(map(int, note.groups())) if note else (rings, rings, 0)
    check(counts == (len(boxes), rings, rings - len(boxes)), f"{counts}: {len(boxes)} of {rings}")
    return {b[4] for b in boxes}


def test_data():
    data = pathlib.Path(os.environ.get("FLEETJUDGE_DATA") or examples)
    instance, routes = data / "instances/R1_10_1.txt", data / "routes/R1_10_1.routes"
    if not routes.is_file():
        print(f"SKIP: no R1_10_1 under {data}")
        sys.exit(77)
    page = tmp / "r1_10_1.html"
    run, html = page_of(instance, routes, page)
    check(run.returncode == 1 and well_formed(page), f"status {run.returncode}, or not XML")
    check(not external_refs(html), f"references other than namespaces: {external_refs(html)}")
    map_svg, lines = map_of(page)
    schedule = list(ET.parse(page).getroot().iter(NS + "svg"))[1]

    # One colour a route, the same in the map and the table; every route can be
    # lit up from the map, the schedule (its drawn rows) and the table.
    check(len(lines) == 95 and len(set(lines.values())) == 95, f"colours: {lines}")
    table = dict((r.decode(), c.decode()) for r, c in re.findall(
        rb'<tr[^>]* data-route="(\d+)" tabindex="0"><td><span class="swatch" '
        rb'style="background:(#[0-9a-f]{6})"', html))
    check(table == lines, "the table's colours are the map's")
    rows = {g.get("data-route") for g in schedule.iter(NS + "g") if g.get("data-route")}
    check(len(rows) == 60 and rows <= set(lines), f"{len(rows)} schedule rows to light up")
    check({"885: 0.04 late (route 4)", "1000: 0.06 late (route 61)", "736: 0.04 late (route 79)"}
          <= labels_apart(map_svg, html), "the late customers are labelled")

    # Every stop named on the map and in the schedule.
    stops = [c.find(NS + "title").text for c in map_svg.iter(NS + "circle") if c.get("data-route")]
    want = re.compile(r"customer \d+, route \d+, stop \d+ of \d+: arrives [\d.]+, service starts "
                      r"[\d.]+, due \d+, load \d+ of 200, (on time|[\d.]+ late)(;|$)")
    check(len(stops) == 1000 and all(want.match(t) for t in stops), "every stop has its figures")
    late = [t for t in stops if t.endswith(" late")]
    check(len(late) == 7 and "customer 885, route 4, stop 2 of 9: arrives 200.04, service "
          "starts 200.04, due 200, load 42 of 200, 0.04 late" in late, f"late stops: {late}")
    boxes = [t.text for t in schedule.iter(NS + "title") if t.text.startswith("customer")]
    check(len(boxes) >= 60 and all(want.match(t) for t in boxes), f"{len(boxes)} boxes named")

    # Crowded: 130 one-customer routes, each its own colour, leave 870
    # customers unvisited and ringed; the labels that fit are drawn.
    (tmp / "crowded.routes").write_text("".join(f"{i}\n" for i in range(1, 131)))
    run, html = page_of(instance, tmp / "crowded.routes", tmp / "crowded.html",
                        "--solution-format=plain")
    map_svg, lines = map_of(tmp / "crowded.html")
    check(len(set(lines.values())) == 130, f"{len(set(lines.values()))} colours for 130 routes")
    check(len(labels_apart(map_svg, html)) >= 10, "the crowded map has labels")

    # A capacitated instance has no time: its page has no schedule and no
    # time figures, and no window's end, which it lacks, shows as a number.
    instance = data / "vrplib/X-n101-k25.vrp"
    if not instance.is_file():
        print(f"no {instance}: the capacitated page is not checked")
        return
    run, html = page_of(instance, instance.with_suffix(".sol"), tmp / "x101.html")
    check(run.returncode == 0 and well_formed(tmp / "x101.html"), f"status {run.returncode}")
    pictures = list(ET.parse(tmp / "x101.html").getroot().iter(NS + "svg"))
    check(len(pictures) == 1, f"{len(pictures)} pictures: the map and no schedule")
    check(not re.search(rb"slack|waiting|duration|window|\d{9}", html), "no time figures")
    routes = [t.text for t in pictures[0].iter(NS + "title") if t.text.startswith("route ")]
    check(len(routes) == 26 and all(re.fullmatch(r"route \d+: \d+ customers, load \d+ of 206, "
                                                 r"distance [\d.]+", t) for t in routes),
          f"route titles {routes[:2]}")


{"page": test_page, "browser": test_browser, "data": test_data}[mode]()
shutil.rmtree(tmp, ignore_errors=True)
print(f"{mode}: {'failed' if failures else 'passed'}")
sys.exit(1 if failures else 0)
