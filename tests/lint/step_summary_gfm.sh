#!/usr/bin/env bash
# The github form's step summary as GitHub-flavoured Markdown renderers read it:
# step_summary_gfm.sh UNITLINT EXAMPLES NPM_DIR
# A copy of the sample whose folder name and cells hold mentions, issue references, bare URLs,
# www. names, an e-mail address and backticks; the summary is appended to a file whose last line
# has no line end, then once more for a folder that cannot be checked. markdown-it (with
# linkify, from npm in NPM_DIR) and cmark-gfm (Debian, with its autolink extension) render it;
# step_summary_gfm.js checks that no link came from the data, that every such text stands in
# code and is kept whole, and that each summary is a heading of its own. Without the renderers
# the case is skipped (status 77) unless UNITCHECK_PAGE_TOOLS=required, as .ci/page sets it.
set -u
unitlint=$(realpath "$1") examples=$(realpath "$2") npm_dir=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/real_client.sh"
[ "${UNITCHECK_PAGE_TOOLS:-}" = required ] || CI=
command -v node >/dev/null 2>&1 || missing_client node
[ -d "$npm_dir/node_modules/markdown-it" ] || missing_client "markdown-it in $npm_dir"
command -v cmark-gfm >/dev/null 2>&1 || missing_client cmark-gfm
copy_data_to_work unitlint-gfm "$examples"
mod='mod @octocat #12 www.example.org'
mv "$work/data" "$work/$mod"
units="$work/$mod/units/units.csv"
# The misspelt boolean, the long name and the unknown category hold the hostile text.
sed -i -e '4s/,flase,/,@octocat,/' \
  -e '7s/^mule,mule,[^,]*,/mule,mule,See https:\/\/evil.example\/x www.evil.example #34 GH-56 a@example.com ``x`` octo\/repo#7 @team,/' \
  -e '11s/Raw_Materials\/Metal\([^s]\)/@acme\/ops#9\1/' "$units"
printf 'An earlier step wrote this, with no line end' >"$work/summary.md"
cd "$work" || exit 1
GITHUB_STEP_SUMMARY=$work/summary.md "$unitlint" --format github "$mod" >/dev/null
status=$?
[ "$status" = 1 ] || { echo "exit status $status, expected 1"; exit 1; }
GITHUB_STEP_SUMMARY=$work/summary.md "$unitlint" --format github '@nobody #1 http://x.example' \
  >/dev/null 2>&1
[ $? = 2 ] || { echo "a folder without data should end with status 2"; exit 1; }
cmark-gfm --unsafe -e autolink -e table -e strikethrough -e tagfilter summary.md >cmark.html ||
  { echo "cmark-gfm failed"; exit 1; }
NODE_PATH="$npm_dir/node_modules" node "$here/step_summary_gfm.js" summary.md cmark.html
