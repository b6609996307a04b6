#!/usr/bin/env bash
# Validates SARIF logs with the SARIF Multitool, with its default rules and with GitHub's
# (--rule-kind Gh): validate.sh LOGFILE...
# Any error or warning fails (the tool's own status does not count warnings); notes do not.
# MULTITOOL names the tool's program
# (default: the Linux program in build/npm, where .ci/run installs it; the package's own
# launcher passes its arguments through a shell, which splits paths with spaces).
set -u
multitool=${MULTITOOL:-build/npm/node_modules/@microsoft/sarif-multitool-linux/Sarif.Multitool}
[ -x "$multitool" ] || { echo "no SARIF Multitool at $multitool" >&2; exit 2; }
[ $# -gt 0 ] || { echo "usage: $0 LOGFILE..." >&2; exit 2; }
# The tool is a .NET program: without ICU it stops at start unless told to do without.
export DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 DOTNET_CLI_TELEMETRY_OPTOUT=1
work=$(mktemp -d "${TMPDIR:-/tmp}/sarif-validate.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The errors and warnings of the Multitool's own log, one line each; notes are left out.
faults_of() {
  /usr/bin/python3 - "$1" <<'PY'
import json, sys
log = json.load(open(sys.argv[1], encoding="utf-8-sig"))
for run in log.get("runs", []):
    for result in run.get("results", []):
        level = result.get("level", "warning")
        if level in ("error", "warning"):
            message = result.get("message", {})
            text = message.get("text") or message.get("id", "") + " " + "; ".join(message.get("arguments", []))
            print(f'{level} {result.get("ruleId")}: {text}')
    for invocation in run.get("invocations", []):
        for note in invocation.get("toolExecutionNotifications", []):
            if note.get("level", "warning") in ("error", "warning"):
                print(f'tool {note.get("level", "warning")}: {note["message"].get("text")}')
PY
}

status=0
for log in "$@"; do
  for kinds in default Gh; do
    out="$work/result.sarif"
    options=()
    [ "$kinds" = default ] || options=(--rule-kind "$kinds")
    "$multitool" validate "${options[@]}" --output "$out" --log "ForceOverwrite;PrettyPrint" "$log" \
      >"$work/console" 2>&1
    tool_status=$?
    if [ ! -s "$out" ]; then
      echo "$log ($kinds rules): the Multitool wrote no result (status $tool_status):"
      head -n 20 "$work/console"
      status=1
      continue
    fi
    faults=$(faults_of "$out") || { echo "$log: cannot read the Multitool's result"; status=1; continue; }
    if [ -n "$faults" ]; then
      echo "$log ($kinds rules):"
      echo "$faults"
      status=1
    else
      echo "$log ($kinds rules): no error, no warning"
    fi
  done
done
exit $status
