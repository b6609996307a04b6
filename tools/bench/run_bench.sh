#!/usr/bin/env bash
# The benchmark at scale: generates data directories of several sizes and times unitcheck on
# each, side by side with reference programs over the same units/units.csv:
#   the floor (unitcheck-floor: the same read and the same access/stat calls as unitcheck, on
#   as many threads, nothing else), cat to /dev/null and wc -l, Python's csv module merely
#   parsing the file, Miller's CSV-to-JSON pass, and, where it is installed
#   (cd tools/bench/duckdb && npm install), DuckDB's parallel CSV reader loading the table with
#   its columns typed (tools/bench/duckdb/load_units.mjs); and unitlint over the same data, in
#   its text and SARIF forms. Prints each as a ratio to unitcheck, unitcheck's time over the
#   floor's, and the peak memory of unitcheck and unitlint. Then times unitlint --lsp
#   (lsp_bench.py) on tables of BENCH_LSP_SIZES rows.
# Usage: run_bench.sh BUILD_DIR   (environment: BENCH_SIZES, BENCH_LSP_SIZES, BENCH_RUNS,
#   BENCH_DIR, BENCH_PARTS)
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR}
sizes=${BENCH_SIZES-"10000 100000 1000000"}
runs=${BENCH_RUNS:-5}
parts=${BENCH_PARTS:-10000}
work=${BENCH_DIR:-/tmp/unitcheck-bench}
unitcheck=$(realpath "$build/unitcheck")
unitlint=$(realpath "$build/unitlint")
generator=$(realpath "$build/tools/unitcheck-gen")
floor=$(realpath "$build/tools/unitcheck-floor")
threads=$(nproc)

# The language server's part needs none of these.
need=()
if [ -n "$sizes" ]; then
  command -v hyperfine >/dev/null || need+=(hyperfine)
  command -v mlr >/dev/null || need+=(miller)
  command -v strace >/dev/null || need+=(strace)
  [ -x /usr/bin/time ] || need+=(time)
fi
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  if [ "$(id -u)" = 0 ]; then apt-get install -y "${need[@]}"; else sudo apt-get install -y "${need[@]}"; fi
fi

# DuckDB's reader is a reference only where its package is installed: skipped on a bare clone.
duckdb_dir=$(cd "$(dirname "$0")" && pwd)/duckdb
have_duckdb=
if command -v node >/dev/null && [ -d "$duckdb_dir/node_modules/@duckdb/node-api" ]; then
  have_duckdb=yes
else
  echo "no DuckDB reference (cd tools/bench/duckdb && npm install to add it)"
fi

mkdir -p "$work"
"$build/unitlint" --schema --format json >"$work/schema.json"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "unitcheck: $unitcheck"
echo

for rows in $sizes; do
  data="$work/rows-$rows"
  stamp="rows=$rows parts=$parts"
  if [ "$(cat "$data/.generated" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$data"
    "$generator" --rows "$rows" --parts "$parts" "$data" >/dev/null
    echo "$stamp" >"$data/.generated"
  fi
  csv="$data/units/units.csv"
  bytes=$(stat -c %s "$csv")
  # The file-system calls unitcheck makes on this data, as the floor's list.
  trace="$work/rows-$rows.strace"
  strace -f -qq -e trace=access,newfstatat,stat -o "$trace" "$unitcheck" "$data" >/dev/null
  grep -oE '(access|newfstatat|stat)\((AT_FDCWD, )?"[^"]*"' "$trace" |
    sed -E 's/^access\((AT_FDCWD, )?"/a /; s/^(newfstatat|stat)\((AT_FDCWD, )?"/s /; s/"$//' \
      >"$work/rows-$rows.calls"
  duckdb=()
  [ -n "$have_duckdb" ] &&
    duckdb=(-n "duckdb read_csv" "node $duckdb_dir/load_units.mjs $work/schema.json $csv $threads")
  # Drop nothing from the page cache: every program reads a warm file, after one warm-up run.
  # unitlint exits with 1 on data with faults: that is not a failure here.
  hyperfine --style basic -N --ignore-failure --warmup 1 --runs "$runs" \
    --export-json "$work/rows-$rows.json" \
    -n unitcheck "$unitcheck $data" \
    -n "unitlint text" "$unitlint $data" \
    -n "unitlint sarif" "$unitlint --format sarif $data" \
    -n floor "$floor $csv $work/rows-$rows.calls $threads" \
    -n cat "cat $csv" \
    -n "wc -l" "wc -l $csv" \
    -n "python csv" "python3 -c 'import csv,sys
for _ in csv.reader(open(sys.argv[1], newline=\"\")): pass' $csv" \
    -n "mlr csv-to-json" "mlr --icsv --ojson --allow-ragged-csv-input cat $csv" \
    "${duckdb[@]}" \
    --output=null >/dev/null 2>"$work/hyperfine.log"
  # The median of three runs' peak resident memory, in KB (whatever the exit status).
  peak() {
    for _ in 1 2 3; do { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -1; done |
      sort -n | sed -n 2p
  }
  peak_kb=$(peak "$unitcheck" "$data")
  lint_kb=$(peak "$unitlint" "$data")
  sarif_kb=$(peak "$unitlint" --format sarif "$data")
  python3 - "$work/rows-$rows.json" "$rows" "$bytes" "$peak_kb" "$lint_kb" "$sarif_kb" <<'PY'
import json, statistics, sys
path, rows, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
peak_kb, lint_kb, sarif_kb = (int(kb) for kb in sys.argv[4:7])
results = json.load(open(path))["results"]
base = statistics.median(next(r for r in results if r["command"] == "unitcheck")["times"])
print(f"{rows} rows, {size / 1e6:.1f} MB, peak memory: unitcheck {peak_kb / 1024:.1f} MB, "
      f"unitlint text {lint_kb / 1024:.1f} MB, sarif {sarif_kb / 1024:.1f} MB")
print(f"  {'program':<16}{'median s':>10}{'user s':>9}{'sys s':>8}{'MB/s':>9}{'rows/s':>12}{'ratio':>8}")
for r in results:
    median = statistics.median(r["times"])
    print(f"  {r['command']:<16}{median:>10.3f}{r['user']:>9.3f}{r['system']:>8.3f}"
          f"{size / 1e6 / median:>9.0f}{rows / median:>12.0f}{median / base:>8.2f}")
floor = statistics.median(next(r for r in results if r["command"] == "floor")["times"])
print(f"  unitcheck time per row: {base / rows * 1e6:.2f} us; unitcheck / floor: {base / floor:.2f}")
print()
PY
done

# The language server (lsp_bench.py) on tables with few faults: opening beside unitlint's JSON
# report, 200 one-line edits, its peak memory. BENCH_SIZES="" runs this part alone.
for rows in ${BENCH_LSP_SIZES:-2000 20000}; do
  data="$work/lsp-rows-$rows"
  stamp="rows=$rows parts=$parts faults=0.0005 missing=0.0005"
  if [ "$(cat "$data/.generated" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$data"
    "$generator" --rows "$rows" --parts "$parts" --fault-share 0.0005 --missing-share 0.0005 \
      "$data" >/dev/null
    echo "$stamp" >"$data/.generated"
  fi
  python3 "$(dirname "$0")/lsp_bench.py" "$unitlint" "$data" 200 "$runs"
done

# The language server on a table with many faults (the generator's own share: some 30,000
# findings on 20,000 rows): a publication is bounded (1,000 diagnostics), so an edit's time
# follows the edit, not the faults. BENCH_LSP_FAULTY="" leaves it out.
for rows in ${BENCH_LSP_FAULTY-20000}; do
  data="$work/lsp-faulty-$rows"
  stamp="rows=$rows parts=10000 faulty"
  if [ "$(cat "$data/.generated" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$data"
    "$generator" --rows "$rows" --parts 10000 "$data" >/dev/null
    echo "$stamp" >"$data/.generated"
  fi
  python3 "$(dirname "$0")/lsp_bench.py" "$unitlint" "$data" 200 "$runs"
done
