#!/usr/bin/env python3
"""The checker and the report at their limits, on inputs too large to keep in
the repository, and what the checker does to its surroundings.

    limits_test.py <fleetjudge> <make_solution> <trace system calls: yes|no> <fleetjudge-report> [runner...]

A runner (an emulator and its options) is put in front of the programs."""
import json, os, random, shutil, subprocess, sys, tempfile

fleetjudge, make_solution, trace_calls, report = sys.argv[1:5]
runner = sys.argv[5:]
tmp = tempfile.mkdtemp()
failures = []
HEAD = "big\n\nVEHICLE\nNUMBER CAPACITY\n10000 100\n\nCUSTOMER\nCUST NO. XCOORD. YCOORD.\n\n"
FIVE = "0 0 0 0 0 32 0\n1 3 4 4 0 50 1\n2 6 8 3 20 30 2\n3 6 0 5 0 6 0\n4 0 -8 5 0 100 0\n"


def write(name, data):
    path = os.path.join(tmp, name)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)
    return path


def run(label, instance, solution, expected, status=1, **kw):
    r = subprocess.run(runner + [fleetjudge, instance, solution], capture_output=True, **kw)
    if r.stdout != expected.encode() or r.returncode != status or r.stderr:
        failures.append(f"{label}: status {r.returncode}, stdout {r.stdout[:200]!r}, stderr {r.stderr!r}")


def nodes(count):
    """Depot at the centre of a grid; every customer can be served alone."""
    lines = ["0 50 50 0 0 100000 0"]
    lines += [f"{i} {i % 100} {i // 100} 1 0 100000 1" for i in range(1, count)]
    return "\n".join(lines) + "\n"


five_solution = write("five.sol", "2 56\n1 2\n3 4\n")

# 10000 node lines fill the table; every customer on a route of its own.
big = write("big.txt", HEAD + nodes(10000))
routes = write("big.routes", "".join(f"{i}\n" for i in range(1, 10000)))
made = subprocess.run(runner + [make_solution, big, routes], capture_output=True, text=True)
run("10000 nodes", big, write("big.sol", made.stdout), "OK\n", 0)
run("10001 nodes", write("over.txt", HEAD + nodes(10001)), five_solution,
    " Too many nodes, max. is 10000\n")

# Lines of 99999 characters are read whole; one more is a fault, not a hang.
run("99999-character line", write("name.txt", "n" * 99999 + "\nV\nT\n2 10\nC\nT\n" + FIVE),
    five_solution, "OK\n", 0)
long_name = write("long.txt", "n" * 100000 + "\nV\nT\n2 10\nC\nT\n" + FIVE)
run("long instance line", long_name, five_solution,
    f"instance file {long_name}: line longer than 99999 characters\n")
five = write("five.txt", "five\nV\nT\n2 10\nC\nT\n" + FIVE)
long_route = write("long.sol", "2 56\n1 2\n3 4 " + "x" * 99996 + "\n")
run("long route line", five, long_route,
    f"solution file {long_route}: line longer than 99999 characters\n")
no_lf = write("nolf.txt", "1 " * 5_000_000)
run("10 MB without a line feed", no_lf, five_solution,
    f"instance file {no_lf}: line longer than 99999 characters\n")
run("10001 routes", five, write("many.sol", "10001 56\n" + "x\n" * 10001),
    " Too many routes, you declared 10001 routes, while max. is 10000\n")

# A verdict that cannot be written is not a success.
with open("/dev/full", "wb") as full:
    r = subprocess.run(runner + [fleetjudge, five, five_solution], stdout=full, stderr=subprocess.PIPE)
if r.returncode != 1 or b"cannot write standard output" not in r.stderr:
    failures.append(f"/dev/full: status {r.returncode}, stderr {r.stderr!r}")
read_end, write_end = os.pipe()
os.close(read_end)
r = subprocess.run(runner + [fleetjudge, five, five_solution], stdout=write_end, stderr=subprocess.PIPE)
os.close(write_end)
if r.returncode != 1 or b"cannot write standard output" not in r.stderr:
    failures.append(f"closed pipe: status {r.returncode}, stderr {r.stderr!r}")

# The checker opens its two files for reading only, reads each from its
# start without seeking, and writes to standard output alone.
# Under an emulator the trace would show the emulator's calls, not the checker's.
if runner:
    print("system-call check skipped: the checker runs under the emulator " + " ".join(runner))
elif trace_calls == "yes" and shutil.which("strace"):
    trace = os.path.join(tmp, "trace")
    subprocess.run(["strace", "-f", "-o", trace, "-e", "trace=%file,%desc", fleetjudge, five,
                    five_solution], capture_output=True)
    calls = [c.split(None, 1)[1] for c in open(trace).read().splitlines() if " " in c]
    opened = [c for c in calls if c.startswith("openat(") and (five in c or five_solution in c)]
    inputs = set()  # descriptors of the input files while they are open
    for call in calls:
        name, _, args = call.partition("(")
        if call in opened:
            inputs.add(call.rsplit("= ", 1)[1])
        if name == "close":
            inputs.discard(args.split(")")[0])
        if name in ("write", "writev", "pwrite64") and not args.startswith("1,"):
            failures.append(f"write other than to standard output: {call}")
        if name in ("lseek", "pread64") and args.split(",")[0] in inputs:
            failures.append(f"an input is not read once from its start: {call}")
        if any(flag in call for flag in ("O_WRONLY", "O_RDWR", "O_CREAT")) or \
                name.startswith(("unlink", "rename", "mkdir", "truncate")):
            failures.append(f"changes a file: {call}")
    if len(opened) != 2:
        failures.append(f"expected each input opened once: {opened}")
else:
    print("system-call check skipped (sanitizer build or no strace)")


def run_report(instance, solution):
    """The report's status, its JSON document (None when it is not one) and
    its peak resident memory in KB. A fresh interpreter starts it and reads
    the peak, which would otherwise include this script's own. Under
    AddressSanitizer, freed memory is not held back: its quarantine would
    count as growth."""
    out = os.path.join(tmp, "report.json")
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "quarantine_size_mb=0"]))
    measure = ("import resource, subprocess, sys; r = subprocess.run(sys.argv[2:], "
               "stdout=open(sys.argv[1], 'wb'), stderr=subprocess.DEVNULL); "
               "print(r.returncode, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    status, peak = subprocess.run([sys.executable, "-c", measure, out, *runner, report, "--json",
                                   instance, solution], capture_output=True, text=True,
                                  env=dict(os.environ, ASAN_OPTIONS=asan)).stdout.split()
    try:
        with open(out, encoding="utf-8") as f:
            document = json.load(f)
    except ValueError:
        document = None
    os.remove(out)
    return int(status), document, int(peak)


# A solution of junk route lines, once and ten times as long: the report
# reads each to its end (every line is a route, with a repeated customer and
# odd bytes behind it), and its memory does not grow with the file.
JUNK = b"".join(b"%d 4 x\xff\t\r 17,\n" % (k % 4 + 1) for k in range(200_000))
peaks = []
for times in (1, 10):
    path = write("junk.sol", b"2 56\n1 2\n3 4\n" + JUNK * times)
    status, document, peak = run_report(five, path)
    os.remove(path)
    peaks.append(peak)
    summary = document and document["summary"]
    if status != 1 or not summary or summary["vehicles"] != 2 + 200_000 * times:
        failures.append(f"report, junk x{times}: status {status}, summary {summary}")
if peaks[1] > peaks[0] + max(peaks[0] // 5, 4096):
    failures.append(f"report: peak memory {peaks[0]} KB, ten times the file {peaks[1]} KB")

# A binary instance is refused, with a document that says why.
status, document, _ = run_report(write("bin.txt", random.Random(8).randbytes(30_000_000)), five_solution)
if status != 2 or not document or not document["error"]:
    failures.append(f"report, binary instance: status {status}, document {document and document['error']}")

# More routes than the report keeps: the first are listed, the rest counted.
many = write("many.sol", "10000 1\n" + "".join(f"{k % 9999 + 1}\n" for k in range(20000)))
status, document, _ = run_report(big, many)
summary = document and document["summary"]
if status != 1 or not summary or (summary["vehicles"], summary["customers_served"],
                                  len(document["routes"]), document["routes_left_out"]) != \
        (20000, 9999, 10000, 10000):
    failures.append(f"report, 20000 routes: status {status}, summary {summary}")

shutil.rmtree(tmp)
print("\n".join(failures) if failures else "all limits hold")
sys.exit(1 if failures else 0)
