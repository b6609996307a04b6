#!/usr/bin/env bash
# Usage: run_fuzzers.sh BUILD_DIR SECONDS
# Runs every libFuzzer target BUILD_DIR/fuzz/*_fuzz for SECONDS seconds on a scratch copy of its
# corpus (fuzz/corpus/<target>/), so the checked-in corpus is never changed. Fails when a target
# exits with an error or leaves a finding (crash, timeout, leak or out-of-memory input); findings
# are kept in BUILD_DIR/fuzz-findings/<target>/ for replay.
set -euo pipefail

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
build_dir=$1
seconds=$2
corpus_root=$(cd "$(dirname "$0")" && pwd)/corpus

shopt -s nullglob
targets=()
for target in "$build_dir"/fuzz/*_fuzz; do
  [[ -f $target && -x $target ]] && targets+=("$target")
done
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "no fuzz targets in $build_dir/fuzz" >&2
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  work=$scratch/$name
  mkdir -p "$work/corpus" "$work/findings"
  if [[ -d $corpus_root/$name ]]; then cp -R "$corpus_root/$name/." "$work/corpus/"; fi
  echo "== $name (${seconds}s)"
  run_status=0
  "$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/findings/" "$work/corpus" > "$work/log" 2>&1 || run_status=$?
  grep -E '^Done [0-9]+ runs' "$work/log" || true
  findings=("$work/findings"/*)
  if [[ $run_status -ne 0 || ${#findings[@]} -ne 0 ]]; then
    status=1
    echo "$name: FAILED (exit status $run_status, ${#findings[@]} finding(s)); last lines of its log:"
    tail -n 30 "$work/log"
    if [[ ${#findings[@]} -ne 0 ]]; then
      mkdir -p "$build_dir/fuzz-findings/$name"
      cp "${findings[@]}" "$build_dir/fuzz-findings/$name/"
      echo "$name: findings kept in $build_dir/fuzz-findings/$name/"
    fi
  fi
done
exit $status
