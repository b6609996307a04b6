#!/usr/bin/env bash
# Runs one end-to-end case of unitlint: run_lint_case.sh UNITLINT CASE_DIR
# The case format is that of tests/run_case.sh; cmd names the executable as "$UNITLINT".
export UNITLINT=$1
exec bash "$(dirname "$0")/../run_case.sh" "$1" "$2"
