#!/usr/bin/env bash
# Runs one end-to-end case: the checker on the case's files, from inside the
# case folder, with stdout compared byte for byte and the exit status exactly.
#   run_case.sh <fleetjudge binary> <case folder>
# The folder holds `stdout` and `status`, and either the default inputs
# `instance` and `solution` or a file `args`, one argument per line.
set -u
bin=$1
cd "$2" || exit 2
if [ -f args ]; then mapfile -t args < args; else args=(instance solution); fi
"$bin" "${args[@]}" > /tmp/fleetjudge-case.$$ 2>/tmp/fleetjudge-case-err.$$
status=$?
trap 'rm -f /tmp/fleetjudge-case.$$ /tmp/fleetjudge-case-err.$$' EXIT
ok=1
if ! cmp -s stdout /tmp/fleetjudge-case.$$; then
  echo "stdout differs:"; diff <(od -c stdout) <(od -c /tmp/fleetjudge-case.$$); ok=0
fi
if [ "$status" != "$(cat status)" ]; then echo "status $status, expected $(cat status)"; ok=0; fi
if [ -s /tmp/fleetjudge-case-err.$$ ]; then echo "unexpected stderr:"; cat /tmp/fleetjudge-case-err.$$; ok=0; fi
[ $ok = 1 ]
