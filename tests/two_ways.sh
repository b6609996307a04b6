#!/usr/bin/env bash
# The same findings seen two ways: two_ways.sh UNITCHECK UNITLINT CASE_DIR
#
# Builds the case's files as run_case.sh does (tree/, then setup), then checks every data
# directory it holds (a folder with units/units.csv) with both programs. Where unitcheck checks
# the directory to its end, unitlint must count as many errors on the unit table's lines as
# unitcheck prints diagnostic lines, and exit with 1 when there is one. Where unitcheck
# cannot check it (no such data directory found, or a failure), the directory is left out.
set -u
unitcheck=$(realpath "$1")
unitlint=$(realpath "$2")
case_dir=$(realpath "$3")
source "$(dirname "$0")/case_files.sh"
make_case_files "$case_dir" unitcheck-two-ways
mkdir -p "$work/home"
export HOME="$work/home"

# unitcheck's diagnostic lines: a cell or nested value ("row ..."), or a line's cell count,
# between the header's lines and the end of the rows (the line of unknown header names before
# them may begin with any text).
diagnostics() {
  LC_ALL=C awk '
    $0 == "Header Processed." { rows = 1; next }
    $0 == "Database processed." { rows = 0 }
    rows && /^(row [0-9]+ |Too Many fields: Row |Fields Error, Expected )/ { ++count }
    END { print count + 0 }' "$1"
}
# unitlint's errors on the unit table's lines after the header, from its text report (which
# streams: a hostile table gives millions). A note stands for the error that a line's wrong cell
# count explains (a last group left open only warns, as a note too); the values past the end of
# one group are one error that says how many.
lint_errors() {
  LC_ALL=C awk -v prefix="$2" '
    index($0, prefix) == 1 {
      split(substr($0, length(prefix) + 1), place, ":")
      if (place[1] == "1") next
      if (place[3] != " error" && (place[3] != " note" || $0 ~ /\[nested-unclosed-last-group\]$/)) next
      n = 1
      if ($0 ~ /\[nested-too-many-values\]$/ && match($0, / holds [0-9]+ values? more than/))
        n = substr($0, RSTART + 7, RLENGTH - 7) + 0
      errors += n
    }
    END { print errors + 0 }' "$1"
}

compared=0
ok=1
while IFS= read -r -d '' table; do
  data=${table%units/units.csv}
  [ -f "$data/master_part_list.csv" ] || continue
  "$unitcheck" "$data" >"$work/transcript" 2>&1
  unitcheck_status=$?
  # Checked to the end, and the directory the search settled on is this one.
  [ "$unitcheck_status" = 0 ] && grep -a -q -x -F "Using $data" "$work/transcript" &&
    grep -a -q -x -F "Database processed." "$work/transcript" || continue
  "$unitlint" --color never "$data" >"$work/report" 2>"$work/lint.err"
  lint_status=$?
  expected=$(diagnostics "$work/transcript")
  if [ "$lint_status" = 2 ]; then
    echo "$data: unitcheck checked it, unitlint could not: $(head -c 300 "$work/lint.err")"
    ok=0
    continue
  fi
  found=$(lint_errors "$work/report" "${data}units/units.csv:")
  compared=$((compared + 1))
  echo "${data#"$work/"}: $expected diagnostic lines, $found errors"
  if [ "$found" != "$expected" ]; then
    echo "$data: unitcheck printed $expected diagnostic lines, unitlint found $found errors"
    ok=0
  fi
  # Errors of the header alone (unitlint's own checks) may also give 1.
  if [ "$expected" -gt 0 ] && [ "$lint_status" != 1 ]; then
    echo "$data: unitlint exit status $lint_status with $expected errors"
    ok=0
  fi
done < <(find "$work" -path '*/units/units.csv' -print0 2>/dev/null | sort -z)
echo "$compared data directories compared"
[ $ok = 1 ]
