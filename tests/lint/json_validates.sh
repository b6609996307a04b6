#!/usr/bin/env bash
# unitlint's JSON report, over findings of every kind (with notes, fixes, cut values and bytes
# of no UTF-8 character) and the header's, validates against docs/unitlint.schema.json:
# json_validates.sh RUN SCHEMA VALIDATOR
# RUN is unitlint's command line over the sample findings (unitlint_fixture_run).
set -u
run=$1 schema=$2 validator=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/unitlint-json.XXXXXX")
trap 'rm -rf "$work"' EXIT
data="$work/mod"
mkdir -p "$data/units"
printf 'Key,Directory,name,Notes\n' >"$data/units/units.csv"
"$run" --format=json "$data" >"$work/report.json"
status=$?
[ "$status" = 1 ] || { echo "exit status $status, expected 1"; exit 1; }
"$run" --format=json --max-findings=3 "$data" >"$work/capped.json"
# A data directory that cannot be checked still writes a whole document.
"$run" --format=json "$work/none" >"$work/unchecked.json" 2>/dev/null
/usr/bin/python3 "$validator" "$schema" "$work/report.json" "$work/capped.json" \
  "$work/unchecked.json" || exit 1
# The schema is no formality: it refuses a report with a finding out of shape.
/usr/bin/python3 - "$work/report.json" "$work/bad.json" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
report["findings"][0]["severity"] = "fatal"
report["findings"][0].pop("column")
json.dump(report, open(sys.argv[2], "w"))
PY
if /usr/bin/python3 "$validator" "$schema" "$work/bad.json" >/dev/null; then
  echo "the schema accepted a finding without a column and of severity fatal"
  exit 1
fi
echo "$(grep -c '"rule"' "$work/report.json") findings validate"
