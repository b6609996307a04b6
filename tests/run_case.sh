#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh UNITCHECK CASE_DIR
#
# A case folder holds:
#   tree/     copied into the working directory before the run (optional)
#   setup     bash script run in the working directory before the run (optional; it sees
#             CASE and WORK):
#             builds what git cannot hold (symbolic links, CR line ends, large files)
#   cmd       the command line to run, evaluated by bash; its standard output is the transcript
#   expected  the expected transcript, byte for byte, with the temporary root written as @WORK@
#   status    the expected exit status (0 when absent)
#   windows-skip
#             why the case cannot hold on Windows (permission bits, FIFOs, /proc): with
#             UNITCHECK_ON_WINDOWS set (the Windows build's tests, under Wine) the case is skipped
#             with status 77
#
# The failure report's code addresses differ from build to build: its first line is compared
# with the address written as XXXXXXXX and its stack lines are left out.
# With UPDATE=1 the transcript and status are written to the case instead of compared.
#
# cmd may use these functions:
#   unprivileged COMMAND...  runs the command as the user nobody (uid 65534) when the case runs
#                            as root, whom file modes do not stop; otherwise as it is. Such a
#                            case opens the temporary root to others in its setup.
#   bounded MB SECONDS COMMAND...
#                            runs the command with at most MB megabytes of address space and
#                            SECONDS of processor time, so that a run whose memory or time grows
#                            out of proportion fails (EOutOfMemory, or killed by SIGXCPU). It
#                            runs on two processors at most: every checking thread reserves a
#                            stack and a memory arena, and the bound must not depend on the
#                            machine. Sanitizer builds reserve terabytes of address space and run
#                            slower, and so does Wine: there only the time is bounded, ten times
#                            as long.
#
# The working directory is $WORK/w/x, so the relative candidates that climb two levels stay
# inside the temporary root. HOME is $WORK/home unless cmd says otherwise.
set -u
exe=$1
case_dir=$2
if [ -n "${UNITCHECK_ON_WINDOWS:-}" ] && [ -f "$case_dir/windows-skip" ]; then
  echo "skipped on Windows: $(cat "$case_dir/windows-skip")"
  exit 77
fi
for f in cmd expected; do
  [ -f "$case_dir/$f" ] || { echo "case $case_dir has no $f file"; exit 1; }
done
source "$(dirname "$0")/case_files.sh"
make_case_files "$case_dir" unitcheck-case
export UNITCHECK="$exe" WORK="$work" CASE="$case_dir"
unprivileged() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
  else
    "$@"
  fi
}
# The first two processors that this process may run on, as a list for taskset.
two_processors() {
  local allowed part first last cpus=()
  allowed=$(sed -n 's/^Cpus_allowed_list:[[:space:]]*//p' /proc/self/status)
  for part in ${allowed//,/ }; do
    first=${part%-*} last=${part#*-}
    while [ "$first" -le "$last" ] && [ ${#cpus[@]} -lt 2 ]; do
      cpus+=("$first")
      first=$((first + 1))
    done
  done
  local IFS=,
  echo "${cpus[*]}"
}
bounded() {
  local megabytes=$1 seconds=$2
  shift 2
  if [ -n "${UNITCHECK_SANITIZED:-}${UNITCHECK_ON_WINDOWS:-}" ]; then
    prlimit --cpu=$((seconds * 10)) "$@"
  else
    taskset -c "$(two_processors)" prlimit --as=$((megabytes << 20)) --cpu="$seconds" "$@"
  fi
}
(export HOME="$work/home"; eval "$(cat "$case_dir/cmd")") >"$work/actual.raw"
status=$?
# Wine shows the Unix root as drive Z:, so that a Windows program's real paths begin with it.
wine_root=()
[ -n "${UNITCHECK_ON_WINDOWS:-}" ] && wine_root=(-e "s|Z:$work|@WORK@|g")
LC_ALL=C sed -E "${wine_root[@]}" -e "s|$work|@WORK@|g" \
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
