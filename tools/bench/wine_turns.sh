#!/usr/bin/env bash
# The Windows build under Wine beside the Linux build, in turns, on one generated table:
#   tools/bench/wine_turns.sh LINUX_BUILD WINDOWS_BUILD [ROWS] [TURNS]
# e.g. tools/bench/wine_turns.sh build/release build/windows 20000 5. Each turn runs Linux's
# unitcheck, then unitcheck.exe under Wine, on the same data, and prints the wall time in
# seconds and the peak resident memory in MB of each (for Wine, that of the process that runs
# the program; wineserver, shared and already running, is left out). Transcripts are compared.
set -euo pipefail
linux=$1
windows=$2
rows=${3:-20000}
turns=${4:-5}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=${WINEPREFIX:-$PWD/$windows/wineprefix} WINEDEBUG=-all
data=$linux/bench-data/rows-$rows
[ -d "$data" ] || "$linux/tools/unitcheck-gen" --rows "$rows" "$data" >/dev/null
"$wine" cmd /c exit >/dev/null 2>&1 || true  # start wineserver before the first turn
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
measure() {
  local name=$1
  shift
  /usr/bin/time -f "%e %M" -o "$out/time" "$@" "$data" >"$out/$name" || true
  read -r seconds kilobytes <"$out/time"
  printf '%-8s %6.2f s %7.1f MB\n' "$name" "$seconds" "$(echo "$kilobytes / 1024" | bc -l)"
}
for turn in $(seq "$turns"); do
  echo "turn $turn"
  measure linux "$linux/unitcheck"
  measure wine "$wine" "$windows/unitcheck.exe"
  cmp -s "$out/linux" "$out/wine" || echo "  the transcripts differ"
done
