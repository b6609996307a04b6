#!/usr/bin/env bash
# Vim with the ALE plugin as the language client of unitlint --lsp:
#   vim_ale_lsp.sh UNITLINT EXAMPLES README
# A copy of the sample data directory (EXAMPLES), with a unit line of non-ASCII text before a
# fault added, is opened in Vim, not on a terminal, with the README's vim block pasted as the
# whole ~/.vimrc (unitlint found on PATH) and the steps of vim_ale_lsp.vim: the diagnostics at
# their lines and columns, the quick fix for "flase" chosen in ALE's menu and its diagnostic
# gone, and the README's :make for lines with non-ASCII text at the right place. Without vim or
# Debian's vim-ale the test is skipped (status 77) unless CI=true.
set -u
unitlint=$1 examples=$2 readme=$3
here=$(cd "$(dirname "$0")" && pwd)
ale=${ALE_DIR:-/usr/share/vim-ale}
. "$here/../support/real_client.sh"
command -v vim >/dev/null 2>&1 || missing_client vim
[ -f "$ale/plugin/ale.vim" ] || missing_client "ALE (Debian's vim-ale, looked for in $ale)"
copy_data_to_work unitlint-vim "$examples"
add_non_ascii_unit "$work/data"
awk '/^```vim$/ { block = ""; inside = 1; next }
     inside && /^```$/ { if (block ~ /ale#linter#Define/) printf "%s", block; inside = 0; next }
     inside { block = block $0 "\n" }' "$readme" >"$work/readme.vim"
[ -s "$work/readme.vim" ] || { echo "the README has no vim block that defines the linter"; exit 1; }
grep -o 'set makeprg=[^`]*' "$readme" >"$work/makeprg.vim"
[ -s "$work/makeprg.vim" ] || { echo "the README sets no makeprg for Vim"; exit 1; }
export HOME="$work/home" RESULT="$work/result" MAKEPRG_VIM="$work/makeprg.vim"
mkdir -p "$HOME"
cp "$work/readme.vim" "$HOME/.vimrc"
export PATH="$(dirname "$unitlint"):$PATH"
# Debian's ALE is a package to add (packadd!), found in Vim's own packpath unless ALE_DIR says
# otherwise.
if [ "$ale" != /usr/share/vim-ale ]; then
  mkdir -p "$HOME/.vim/pack/test/opt"
  ln -s "$ale" "$HOME/.vim/pack/test/opt/ale"
fi
# An error before the steps leaves Vim running: the command after them ends it with status 3.
timeout 120 vim -N -i NONE -n --not-a-term \
  -S "$here/vim_ale_lsp.vim" -c "cquit 3" "$work/data/units/units.csv" </dev/null >/dev/null 2>&1
status=$?
cat "$work/result" 2>/dev/null
[ "$status" = 0 ] || echo "vim ended with status $status"
exit "$status"
