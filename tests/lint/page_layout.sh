#!/usr/bin/env bash
# unitlint's HTML page laid out by Chromium at a desktop's width (1280 px), a phone's (390 px)
# and on paper: page_layout.sh UNITLINT EXAMPLES UNITCHECK_GEN NPM_DIR [SCREENSHOT_DIR]
# Three pages: the sample data's; a generated table of 2,000 rows (every kind of fault, by
# hundreds); the sample with a line of 100 KB cells that hold no space. page_layout.js (with
# puppeteer-core from npm in NPM_DIR, and Debian's chromium) checks that nothing reaches past
# the page's width. With SCREENSHOT_DIR, the sample's page is photographed at both widths.
# Without those tools the case is skipped (status 77) unless UNITCHECK_PAGE_TOOLS=required.
set -u
unitlint=$(realpath "$1") examples=$(realpath "$2") gen=$(realpath "$3") npm_dir=$(realpath "$4")
shots=${5:+$(realpath "$5")}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/real_client.sh"
[ "${UNITCHECK_PAGE_TOOLS:-}" = required ] || CI=
chromium=$(command -v chromium || true)
[ -n "$chromium" ] || missing_client chromium
command -v node >/dev/null 2>&1 || missing_client node
[ -d "$npm_dir/node_modules/puppeteer-core" ] || missing_client "puppeteer-core in $npm_dir"
copy_data_to_work unitlint-layout "$examples"
cd "$work" || exit 1
page() {  # page NAME DATADIR [OPTIONS...]: the HTML page of DATADIR, as NAME.html
  local name=$1 data=$2
  shift 2
  "$unitlint" --format html "$@" "$data" >"$name.html"
  local status=$?
  [ "$status" = 1 ] || { echo "$name: exit status $status, expected 1"; exit 1; }
}
page sample data
"$gen" --rows 2000 --fault-share 0.05 generated >/dev/null || { echo "unitcheck-gen failed"; exit 1; }
page generated generated
cp -R data long
/usr/bin/python3 - long/units/units.csv <<'PY'
import sys
path = sys.argv[1]
lines = open(path, "rb").read().split(b"\n")
cells = lines[3].split(b",")
# Key, Name, a text cell, a boolean and a float, each of 100 KB without a space; a long unknown
# category in the cargo import list.
cells[0] = b"k" * 100_000
cells[2] = b"N" * 100_000
cells[6] = "é".encode() * 50_000
cells[45] = b"t" * 100_000
cells[59] = b"1" * 50_000 + b"." + b"2" * 50_000
lines.insert(12, b",".join(cells))
open(path, "wb").write(b"\n".join(lines))
PY
page long long
NODE_PATH="$npm_dir/node_modules" node "$here/page_layout.js" "$chromium" "$work" "$shots" \
  sample.html generated.html long.html
