#!/usr/bin/env bash
# unitlint's SARIF log, over findings of every kind and the header's, validates against the
# SARIF 2.1.0 schema: sarif_validates.sh RUN SCHEMA VALIDATOR
# RUN is unitlint's command line over the sample findings (unitlint_fixture_run).
set -u
run=$1 schema=$2 validator=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/unitlint-sarif.XXXXXX")
trap 'rm -rf "$work"' EXIT
# A directory name that a URI must encode, and a header with a near miss and an unknown column.
data="$work/mod data%"
mkdir -p "$data/units"
printf 'Key,Directory,name,Notes\n' >"$data/units/units.csv"
"$run" --format=sarif "$data" >"$work/log.sarif"
status=$?
[ "$status" = 1 ] || { echo "exit status $status, expected 1"; exit 1; }
/usr/bin/python3 "$validator" "$schema" "$work/log.sarif"
