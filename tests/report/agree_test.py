#!/usr/bin/env python3
"""fleetjudge-report's verdict is fleetjudge's: on every end-to-end case that
names two files, the report's JSON holds the checker's exact standard output
and status.

    agree_test.py FLEETJUDGE FLEETJUDGE_REPORT CASES_DIR checker|report [RUNNER...]

The report guesses each solution's format. Every solution of the checker's
own cases (checker) must be read in fleetjudge's format: a case read as
anything else fails. The report's cases may hold other formats, which
fleetjudge cannot read: those are not compared.
"""
import json
import pathlib
import subprocess
import sys

checker, report, cases = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
own_cases = sys.argv[4] == "checker"
runner = sys.argv[5:]
compared = failed = 0
for case in sorted(p for p in cases.iterdir() if p.is_dir()):
    args = (case / "args").read_text().splitlines() if (case / "args").exists() \
        else ["instance", "solution"]
    if len(args) != 2 or any(a.startswith("-") for a in args):
        continue
    paths = [case / a for a in args]
    if not all(p.exists() for p in paths):
        continue  # the report refuses before judging: nothing to compare
    want = subprocess.run(runner + [checker, *args], cwd=case, capture_output=True)
    got = subprocess.run(runner + [report, "--json", *args], cwd=case, capture_output=True)
    compared += 1
    try:
        doc = json.loads(got.stdout.decode("utf-8"))
        if doc["solution"]["format"] != "fleetjudge":
            if own_cases:
                print(f"{case.name}: read as {doc['solution']['format']}, not fleetjudge's format")
                failed += 1
            else:
                compared -= 1  # a route list: fleetjudge cannot read it
            continue
        verdict = doc["verdict"]
        message = verdict["message"].encode("latin-1")
        status = verdict["status"]
    except (ValueError, KeyError) as e:
        print(f"{case.name}: no verdict in the report ({e}); status {got.returncode}")
        failed += 1
        continue
    if message != want.stdout or status != want.returncode:
        print(f"{case.name}: checker {want.returncode} {want.stdout!r}, report {status} {message!r}")
        failed += 1
print(f"{compared} cases compared, {failed} differ")
sys.exit(1 if failed or compared == 0 else 0)
