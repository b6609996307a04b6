#!/usr/bin/env bash
# Runs one end-to-end case of unitlint: run_lint_case.sh UNITLINT CASE_DIR
# The case format is that of tests/run_case.sh; cmd names the executable as "$UNITLINT". Every
# --format json report the case makes is then validated against docs/unitlint.schema.json
# (tests/lint/json_kept.sh keeps a copy of each).
here=$(cd "$(dirname "$0")" && pwd)
export UNITLINT_REAL=$1
UNITLINT_JSON_DIR=$(mktemp -d "${TMPDIR:-/tmp}/unitlint-json.XXXXXX")
export UNITLINT_JSON_DIR
# Cases may run unitlint as the user nobody.
chmod 1777 "$UNITLINT_JSON_DIR"
trap 'rm -rf "$UNITLINT_JSON_DIR"' EXIT
export UNITLINT=$here/../lint/json_kept.sh
bash "$here/../run_case.sh" "$1" "$2"
status=$?
shopt -s nullglob
reports=("$UNITLINT_JSON_DIR"/report.*)
if [ ${#reports[@]} -gt 0 ]; then
  /usr/bin/python3 "$here/../lint/validate_json_report.py" "$here/../../docs/unitlint.schema.json" \
    "${reports[@]}" || status=1
fi
exit $status
