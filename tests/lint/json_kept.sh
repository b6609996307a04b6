#!/usr/bin/env bash
# Stands in for unitlint in the end-to-end cases (run_lint_case.sh): runs UNITLINT_REAL with the
# same arguments and input, and keeps a copy of each --format json report in UNITLINT_JSON_DIR,
# which the case validates against docs/unitlint.schema.json once it has run. Other runs are
# the real program's own, output and status untouched.
json=false
previous=
for argument in "$@"; do
  case "$argument" in
    --schema | --lsp | --stdio) exec "$UNITLINT_REAL" "$@" ;;
    --format=json | -fjson | -f=json) json=true ;;
    json) [ "$previous" = --format ] || [ "$previous" = -f ] && json=true ;;
  esac
  previous=$argument
done
$json || exec "$UNITLINT_REAL" "$@"
kept=$(mktemp "$UNITLINT_JSON_DIR/report.XXXXXX")
"$UNITLINT_REAL" "$@" >"$kept"
status=$?
cat "$kept"
exit $status
