#!/usr/bin/env bash
# Compares the output of two builds of fleetjudge-report and fleetjudge-batch,
# byte for byte, on every end-to-end case and every published pair beside the
# project: text, --all, --json and the page, in every convention. For a
# change of the inside that must leave every output as it was.
#
#   tools/compare-builds.sh OLD_BUILD_DIR NEW_BUILD_DIR [DATA_DIR]
#
# JSON members that the new build adds (NEW_JSON_MEMBERS, a sed expression
# run on its documents) are removed before the comparison.
set -uo pipefail
old=$1 new=$2
root=$(cd "$(dirname "$0")/.." && pwd)
data=${3:-$root/../shared/data}
strip=${NEW_JSON_MEMBERS:-}
pairs=()
for dir in "$root"/tests/cases/* "$root"/tests/report-cases/*; do
  [[ -f $dir/instance && -f $dir/solution ]] && pairs+=("$dir/instance" "$dir/solution")
done
if [[ -d $data/routes ]]; then
  for f in "$data"/routes/*.routes; do
    pairs+=("$data/instances/$(basename "$f" .routes).txt" "$f")
  done
  for f in "$data"/vrplib/*.vrp "$data"/classic/*.vrp; do
    [[ -f ${f%.vrp}.sol ]] && pairs+=("$f" "${f%.vrp}.sol")
  done
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
compared=0 differ=0
run() { # build args... : stdout into $out/<build>, status appended
  local build=$1
  shift
  "$build/fleetjudge-report" "$@" >"$out/stdout" 2>"$out/stderr"
  echo "status $?" >>"$out/stdout"
  cat "$out/stderr" >>"$out/stdout"
}
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  for options in "" "--all" "--json" "--html -" "--convention=exact" "--convention=truncated" \
                 "--convention=rounded --json" "--convention=truncated --html -"; do
    read -ra opts <<<"$options"
    run "$old" "${opts[@]}" "${pairs[i]}" "${pairs[i + 1]}"
    mv "$out/stdout" "$out/old"
    run "$new" "${opts[@]}" "${pairs[i]}" "${pairs[i + 1]}"
    [[ -n $strip ]] && sed -i -E "$strip" "$out/stdout"
    compared=$((compared + 1))
    if ! cmp -s "$out/old" "$out/stdout"; then
      differ=$((differ + 1))
      echo "differ: $options ${pairs[i]} ${pairs[i + 1]}"
      diff "$out/old" "$out/stdout" | head -6
    fi
  done
done
# The batch on the published pairs, in every output format.
if [[ -d $data/routes ]]; then
  for format in table csv jsonl markdown; do
    "$old/fleetjudge-batch" --format=$format "$data/instances" "$data/routes" >"$out/old" 2>&1
    "$new/fleetjudge-batch" --format=$format "$data/instances" "$data/routes" >"$out/stdout" 2>&1
    [[ -n $strip ]] && sed -i -E "$strip" "$out/stdout"
    compared=$((compared + 1))
    cmp -s "$out/old" "$out/stdout" || { differ=$((differ + 1)); echo "differ: batch --format=$format"; }
  done
fi
echo "$compared outputs compared, $differ differ"
[[ $differ == 0 ]]
