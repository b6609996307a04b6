#!/usr/bin/env bash
# unitlint's HTML page as a browser reads it: html_in_browser.sh UNITLINT EXAMPLES CASE
# CASE is "sample" (EXAMPLES, the sample data directory: its seven findings, each with its line
# and column) or "hostile" (the sample with markup, script, control bytes and invalid UTF-8 in
# its header and cells: the page holds no element or attribute that came from the data).
# The page passes tidy without an error, then headless Chromium loads it once and writes the
# document it built (--dump-dom), which check_html_dom.py reads. Without chromium or tidy the
# case is skipped (status 77) unless CI=true, where they must be there.
set -u
unitlint=$1 examples=$2 case=$3
here=$(dirname "$0")
. "$here/../support/real_client.sh"
chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || missing_client chromium
command -v tidy >/dev/null 2>&1 || missing_client tidy
copy_data_to_work unitlint-html "$examples"
if [ "$case" = hostile ]; then
  /usr/bin/python3 "$here/check_html_dom.py" make-hostile "$work/data/units/units.csv" || exit 1
fi
(cd "$work" && "$unitlint" --format html data >page.html)
status=$?
[ "$status" = 1 ] || { echo "exit status $status, expected 1"; exit 1; }
tidy -errors -q "$work/page.html" || { echo "tidy found errors in the page"; exit 1; }
# Root may run no sandbox; a profile of its own, so that no other run's is touched.
"$chromium" --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
  --dump-dom "file://$work/page.html" >"$work/dom.html" 2>"$work/chromium.log"
status=$?
[ "$status" = 0 ] && [ -s "$work/dom.html" ] ||
  { echo "chromium exit status $status"; tail -5 "$work/chromium.log"; exit 1; }
/usr/bin/python3 "$here/check_html_dom.py" "$case" "$work/dom.html"
