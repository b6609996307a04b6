#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh UNITCHECK CASE_DIR
#
# A case folder holds:
#   tree/     copied into the working directory before the run (optional)
#   setup     bash script run in the working directory before the run (optional):
#             builds what git cannot hold (symbolic links, CR line ends, large files)
#   cmd       the command line to run, evaluated by bash; its standard output is the transcript
#   expected  the expected transcript, byte for byte, with the temporary root written as @WORK@
#   status    the expected exit status (0 when absent)
#
# The failure report's code addresses differ from build to build: its first line is compared
# with the address written as XXXXXXXX and its stack lines are left out.
# With UPDATE=1 the transcript and status are written to the case instead of compared.
#
# cmd may use these functions:
#   unprivileged COMMAND...  runs the command as the user nobody (uid 65534) when the case runs
#                            as root, whom file modes do not stop; otherwise as it is. Such a
#                            case opens the temporary root to others in its setup.
#
# The working directory is $WORK/w/x, so the relative candidates that climb two levels stay
# inside the temporary root. HOME is $WORK/home unless cmd says otherwise.
set -u
exe=$1
case_dir=$2
for f in cmd expected; do
  [ -f "$case_dir/$f" ] || { echo "case $case_dir has no $f file"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/unitcheck-case.XXXXXX")
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
cwd="$work/w/x"
mkdir -p "$cwd"
[ -d "$case_dir/tree" ] && cp -R "$case_dir/tree/." "$cwd/"
export UNITCHECK="$exe" WORK="$work" CASE="$case_dir"
unprivileged() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
  else
    "$@"
  fi
}
cd "$cwd" || exit 1
if [ -f "$case_dir/setup" ]; then
  bash -e "$case_dir/setup" || { echo "setup of $case_dir failed"; exit 1; }
fi
(export HOME="$work/home"; eval "$(cat "$case_dir/cmd")") >"$work/actual.raw"
status=$?
LC_ALL=C sed -E -e "s|$work|@WORK@|g" \
  -e 's/^(An unhandled exception occurred at \$)[0-9A-F]{8} :$/\1XXXXXXXX :/' \
  -e '/^  \$[0-9A-F]{8}$/d' "$work/actual.raw" >"$work/actual"
if [ "${UPDATE:-0}" = 1 ]; then
  cp "$work/actual" "$case_dir/expected"
  if [ "$status" = 0 ]; then rm -f "$case_dir/status"; else echo "$status" >"$case_dir/status"; fi
  exit 0
fi
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(cat "$case_dir/status")
ok=1
if ! cmp -s "$work/actual" "$case_dir/expected"; then
  echo "transcript differs from $case_dir/expected:"
  diff -a "$case_dir/expected" "$work/actual" | head -n 60
  ok=0
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  ok=0
fi
[ $ok = 1 ]
