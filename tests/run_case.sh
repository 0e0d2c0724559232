#!/usr/bin/env bash
# Runs one end-to-end case: the checker on the case's files, from inside the
# case folder, with stdout compared byte for byte and the exit status exactly.
#   run_case.sh <fleetjudge binary> <case folder> [runner...]
# A runner (an emulator and its options) is put in front of the binary.
# The folder holds `stdout` and `status`, and either the default inputs
# `instance` and `solution` or a file `args`, one argument per line. Standard
# error must be empty, or equal to the folder's `stderr` file where it has one.
set -u
bin=$1
runner=("${@:3}")
cd "$2" || exit 2
if [ -f args ]; then mapfile -t args < args; else args=(instance solution); fi
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"${runner[@]}" "$bin" "${args[@]}" > "$out" 2> "$err"
status=$?
ok=1
if ! cmp -s stdout "$out"; then
  echo "stdout differs (expected, then actual):"; od -c stdout; od -c "$out"; ok=0
fi
if [ "$status" != "$(cat status)" ]; then echo "status $status, expected $(cat status)"; ok=0; fi
if [ -f stderr ]; then
  if ! cmp -s stderr "$err"; then echo "stderr differs:"; cat "$err"; ok=0; fi
elif [ -s "$err" ]; then echo "unexpected stderr:"; cat "$err"; ok=0; fi
[ $ok = 1 ]
