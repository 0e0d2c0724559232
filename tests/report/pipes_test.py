#!/usr/bin/env python3
"""fleetjudge-report reads each input once, front to back: from a pipe, a
FIFO, /dev/stdin, process substitution or "-", it gives the document it gives
for the regular file (paths aside), in every solution format and for CR LF
instances, where the checker's verdict comes from a second run reading along.
The trace shows each file opened once, and no child process.

    pipes_test.py FLEETJUDGE_REPORT FLEETJUDGE_BATCH REPORT_CASES_DIR [RUNNER...]
"""
import concurrent.futures, json, os, pathlib, re, shutil, subprocess, sys, tempfile, threading, time

report, batch, cases = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
runner = sys.argv[4:]
tmp = pathlib.Path(tempfile.mkdtemp())
failures = []

# A CR LF instance without blank lines: the checker reads it to its end and
# goes on into the solution, which both runs then read together.
crlf_through = tmp / "crlf-through.txt"
crlf_through.write_bytes(b"five\r\nVEHICLE\r\nT\r\n2 10\r\nCUSTOMER\r\n0 0 0 0 0 32 0\r\n"
                         b"1 3 4 4 0 50 1\r\n2 6 8 3 20 30 2\r\n3 6 0 5 0 6 0\r\n4 0 -8 5 0 100 0\r\n")
long_solution = tmp / "long.sol"
long_solution.write_bytes(b"2 56\n1 2\n3 4\n" + b"\n" * 3_000_000)
pairs = [(cases / c / "instance", cases / c / "solution")
         for c in ("figures", "route-list-cost", "plain-list", "crlf-instance", "screening",
                   "byte-order-mark")]
pairs.append((crlf_through, long_solution))


def paths_aside(stdout):
    """The document, with the paths taken out, also where messages name a file."""
    try:
        doc = json.loads(stdout)
        doc["instance"]["path"] = doc["solution"]["path"] = None
    except (ValueError, KeyError, TypeError):
        return None
    return json.loads(re.sub(r"(instance|solution) file [^:]*:", r"\1 file @:", json.dumps(doc)))


def document(args, **kw):
    r = subprocess.run(runner + [report, "--json", *args], capture_output=True, **kw)
    return r.returncode, paths_aside(r.stdout)


def fifo_of(path):
    """A named pipe that a thread fills with the file's bytes."""
    fifo = tmp / ("fifo-" + path.name)
    if fifo.exists():
        fifo.unlink()
    os.mkfifo(fifo)
    threading.Thread(target=lambda: fifo.write_bytes(path.read_bytes()), daemon=True).start()
    return fifo


for instance, solution in pairs:
    want = document([str(instance), str(solution)])
    if want[1] is None:
        failures.append(f"{instance}: no document from the regular files")
        continue
    label = f"{instance.parent.name}/{instance.name} {solution.name}"
    ways = {
        "solution on -": lambda: document([str(instance), "-"], stdin=open(solution, "rb")),
        "instance on -": lambda: document(["-", str(solution)], stdin=open(instance, "rb")),
        "/dev/stdin": lambda: document([str(instance), "/dev/stdin"], stdin=open(solution, "rb")),
        "FIFOs": lambda: document([str(fifo_of(instance)), str(fifo_of(solution))], timeout=60),
    }
    for way, run in ways.items():
        got = run()
        if got != want:
            failures.append(f"{label}, {way}: status {got[0]} against {want[0]}, documents differ")
    # Process substitution, as a shell gives it.
    script = 'exec "$@" --json <(cat "$I") <(cat "$S")'
    r = subprocess.run(["bash", "-c", script, "bash", *runner, report],
                       env=dict(os.environ, I=str(instance), S=str(solution)), capture_output=True)
    got = (r.returncode, paths_aside(r.stdout))
    if got != want:
        failures.append(f"{label}, process substitution: status {got[0]} against {want[0]}")

# Slow writers: a solver hands its output over a few bytes at a time. On a
# CR LF instance the checker's run reads along on a second thread; whether it
# stops at its first line (crlf-instance) or reads the instance to its end,
# the report's run must never wait for it, from any source and in every
# output mode. A run that does not end within the timeout fails.
def slowly(data, fd):
    """Writes data to the descriptor in chunks of 3 bytes, a pause between them."""
    with os.fdopen(fd, "wb", buffering=0) as out:
        for at in range(0, len(data), 3):
            try:
                out.write(data[at:at + 3])
            except BrokenPipeError:
                return
            time.sleep(0.002)


def slow_pipe(path):
    read_end, write_end = os.pipe()
    threading.Thread(target=slowly, args=(path.read_bytes(), write_end), daemon=True).start()
    return read_end


def slow_fifo(path, name):
    fifo = tmp / name
    os.mkfifo(fifo)
    threading.Thread(target=lambda: slowly(path.read_bytes(), os.open(fifo, os.O_WRONLY)),
                     daemon=True).start()
    return str(fifo)


padded = tmp / "padded.sol"
padded.write_bytes(b"2 56\n1 2\n3 4\n" + b"\n" * 600)  # written long after the instance
slow_pairs = [(cases / "crlf-instance" / "instance", padded), (crlf_through, padded)]
modes = {"text": [], "--json": ["--json"], "--html -": ["--html", "-"]}


def slow_run(instance, solution, mode, way, n):
    want = subprocess.run(runner + [report, *modes[mode], str(instance), str(solution)],
                          capture_output=True).returncode
    label = f"{instance.name}, {mode}, slowly from {way}"
    kw, args = {}, None
    if way == "a pipe":
        fds = (slow_pipe(instance), slow_pipe(solution))
        args, kw = [f"/dev/fd/{fd}" for fd in fds], {"pass_fds": fds}
    elif way == "FIFOs":
        args = [slow_fifo(instance, f"slow-i{n}"), slow_fifo(solution, f"slow-s{n}")]
    elif way == "-":
        args, kw = [str(instance), "-"], {"stdin": slow_pipe(solution)}
    try:
        if way == "process substitution":
            script = 'i=$1 s=$2; shift 2; exec "$@" <(python3 -c "$W" "$i") <(python3 -c "$W" "$s")'
            r = subprocess.run(["bash", "-c", script, "bash", str(instance), str(solution), *runner,
                                report, *modes[mode]], capture_output=True, timeout=10,
                               env=dict(os.environ, W=SLOW_WRITER))
        else:
            r = subprocess.run(runner + [report, *modes[mode], *args], capture_output=True,
                               timeout=10, **kw)
    except subprocess.TimeoutExpired:
        return f"{label}: no end within 10 s"
    finally:
        for fd in kw.get("pass_fds", ()) + ((kw["stdin"],) if "stdin" in kw else ()):
            os.close(fd)
    return None if r.returncode == want else f"{label}: status {r.returncode} against {want}"


SLOW_WRITER = ("import sys, time\nd = open(sys.argv[1], 'rb').read()\ntry:\n"
               "    for a in range(0, len(d), 3):\n"
               "        sys.stdout.buffer.write(d[a:a + 3]); sys.stdout.flush(); time.sleep(0.002)\n"
               "except BrokenPipeError:\n    pass\n")
jobs = [(i, s, m, w) for i, s in slow_pairs for m in modes
        for w in ("a pipe", "FIFOs", "process substitution", "-")]
with concurrent.futures.ThreadPoolExecutor(4) as pool:
    failures += [f for f in pool.map(lambda job: slow_run(*job[1], job[0]), enumerate(jobs)) if f]

# The batch reads a pair whose solution is a FIFO as the report does.
for instance, _ in slow_pairs:
    want = subprocess.run(runner + [report, str(instance), str(padded)], capture_output=True)
    listing = tmp / "pairs"
    fifo = slow_fifo(padded, "slow-batch-" + instance.name)
    listing.write_text(f"{instance.resolve()}\t{fifo}\n")
    try:
        r = subprocess.run(runner + [batch, "-q", "--format=csv", "--pairs", str(listing)],
                           capture_output=True, timeout=10)
        if r.returncode != want.returncode:
            failures.append(f"batch, {instance.name} with a slow FIFO: status {r.returncode} "
                            f"against {want.returncode}: {r.stdout!r}")
    except subprocess.TimeoutExpired:
        failures.append(f"batch, {instance.name} with a slow FIFO: no end within 10 s")

# The page on standard output is the page written to a file, and takes the
# text's place; it cannot share standard output with the JSON document.
figures = [str(cases / "figures" / "instance"), str(cases / "figures" / "solution")]
page = tmp / "page.html"
subprocess.run(runner + [report, "--html", str(page), *figures], capture_output=True)
r = subprocess.run(runner + [report, "--html", "-", *figures], capture_output=True)
if r.returncode != 0 or r.stdout != page.read_bytes():
    failures.append(f"--html -: status {r.returncode}, not the page written to a file")
r = subprocess.run(runner + [report, "--json", "--html", "-", *figures], capture_output=True)
if r.returncode != 2 or b"only one of --json and --html -" not in r.stderr:
    failures.append(f"--json --html -: status {r.returncode}, {r.stderr!r}")

# Both inputs cannot come from standard input.
r = subprocess.run(runner + [report, "-", "-"], capture_output=True)
if r.returncode != 2:
    failures.append(f"- -: status {r.returncode}")

# Each input opened once, never sought in, and no child process: the
# checker's second run is a thread of the same process.
if not runner and shutil.which("strace") and "sanitize" not in os.environ.get("FLEETJUDGE_BUILD", ""):
    trace = tmp / "trace"
    subprocess.run(["strace", "-f", "-o", str(trace), "-e", "trace=%file,%desc,%process", report,
                    "--json", str(crlf_through), str(long_solution)], capture_output=True)
    calls = [c.split(None, 1)[1] for c in trace.read_text().splitlines() if " " in c]
    for path in (crlf_through, long_solution):
        opened = [c for c in calls if c.startswith("open") and str(path) in c]
        if len(opened) != 1:
            failures.append(f"{path.name} opened {len(opened)} times: {opened}")
    # The dynamic loader reads its libraries with pread: only the inputs'
    # descriptors count, while they are open.
    inputs, bad = set(), []
    for call in calls:
        name, _, args = call.partition("(")
        if name.startswith("open") and (str(crlf_through) in call or str(long_solution) in call):
            inputs.add(call.rsplit("= ", 1)[1])
        elif name == "close":
            inputs.discard(args.split(")")[0])
        elif name in ("lseek", "pread64") and args.split(",")[0] in inputs:
            bad.append(call)
        elif name in ("fork", "vfork") or (name == "execve" and call is not calls[0]):
            bad.append(call)
    if bad:
        failures.append(f"calls of a second process or a seek: {bad[:3]}")

shutil.rmtree(tmp)
print("\n".join(failures) if failures else f"{len(pairs)} pairs read alike from every source")
sys.exit(1 if failures else 0)
