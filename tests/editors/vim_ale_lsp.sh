#!/usr/bin/env bash
# Vim with the ALE plugin as the language client of unitlint --lsp:
#   vim_ale_lsp.sh UNITLINT EXAMPLES README
# A copy of the sample data directory (EXAMPLES) is opened in Vim, not on a terminal, with the
# README's ALE configuration (its vim block that defines the linter; unitlint found on PATH) and
# the steps of vim_ale_lsp.vim: the seven
# diagnostics at their lines and columns, then the quick fix for "flase" chosen in ALE's menu
# and its diagnostic gone. Without vim or Debian's vim-ale the test is skipped (status 77)
# unless CI=true.
set -u
unitlint=$1 examples=$2 readme=$3
here=$(cd "$(dirname "$0")" && pwd)
ale=${ALE_DIR:-/usr/share/vim-ale}
. "$here/../support/real_client.sh"
command -v vim >/dev/null 2>&1 || missing_client vim
[ -f "$ale/plugin/ale.vim" ] || missing_client "ALE (Debian's vim-ale, looked for in $ale)"
copy_data_to_work unitlint-vim "$examples"
awk '/^```vim$/ { block = ""; inside = 1; next }
     inside && /^```$/ { if (block ~ /ale#linter#Define/) printf "%s", block; inside = 0; next }
     inside { block = block $0 "\n" }' "$readme" >"$work/readme.vim"
[ -s "$work/readme.vim" ] || { echo "the README has no vim block that defines the linter"; exit 1; }
export HOME="$work/home" ALE_DIR="$ale" README_VIM="$work/readme.vim" RESULT="$work/result"
export PATH="$(dirname "$unitlint"):$PATH"
# An error before the steps leaves Vim running: the command after them ends it with status 3.
timeout 120 vim -N -u "$here/vim_ale_lsp.vimrc" -i NONE -n --not-a-term \
  -S "$here/vim_ale_lsp.vim" -c "cquit 3" "$work/data/units/units.csv" </dev/null >/dev/null 2>&1
status=$?
cat "$work/result" 2>/dev/null
[ "$status" = 0 ] || echo "vim ended with status $status"
exit "$status"
