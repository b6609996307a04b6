#!/usr/bin/env bash
# The README's VS Code problem matcher against unitlint's text report, finding for finding
# (readme_problem_matcher.js): readme_problem_matcher.sh UNITLINT README EXAMPLES_DATA
# On the sample data from a relative path, and from an absolute path holding ": " and brackets
# with a header that adds a near miss (an error) and an unknown column (a warning) and a line
# with text beyond ASCII before its faults. The report is made with the task's own arguments.
set -u
unitlint=$(realpath "$1") readme=$(realpath "$2") examples=$(realpath "$3")
script=$(realpath "$(dirname "$0")/readme_problem_matcher.js")
work=$(mktemp -d "${TMPDIR:-/tmp}/unitlint-matcher.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp -R "$examples" data
mkdir "odd: dir [x]"
cp -R "$examples" "odd: dir [x]/data"
sed -i -e '1s/,Directory,/,directory,/; 1s/$/,Extra_Col/' \
  -e '4s/^hornet\.militia,[^,]*,/hornet.militia,Hörnet Ærø 日本,/' "odd: dir [x]/data/units/units.csv"
# The task's arguments before its data directory.
mapfile -t task_options < <(node -e '
  const readme = require("fs").readFileSync(process.argv[1], "utf8");
  const task = JSON.parse(readme.match(/```json\n([\s\S]*?)```/)[1]).tasks[0];
  for (const a of task.args.slice(0, -1)) console.log(a);' "$readme")
status=0
for dir in data "$work/odd: dir [x]/data"; do
  "$unitlint" "${task_options[@]}" "$dir" >text
  "$unitlint" --format=json "$dir" >json
  node "$script" "$readme" text json || status=1
  /usr/bin/python3 "$(dirname "$script")/validate_json_report.py" \
    "$(dirname "$readme")/docs/unitlint.schema.json" json || status=1
done
exit $status
