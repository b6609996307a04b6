#!/usr/bin/env bash
# Emacs with eglot as the language client of unitlint --lsp:
#   emacs_eglot.sh UNITLINT EXAMPLES README
# A copy of the sample data directory (EXAMPLES), outside any version control and with a unit
# line of non-ASCII text before a fault added, is opened in Emacs (batch, no terminal) with the
# README's elisp block as init.el (unitlint found on PATH) and the steps of emacs_eglot.el: the
# diagnostics at their places, one server for the table and the part list, the part list's
# edit seen in the table. Without emacs and eglot the test is skipped (status 77) unless
# CI=true.
set -u
unitlint=$1 examples=$2 readme=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/real_client.sh"
command -v emacs >/dev/null 2>&1 || missing_client "emacs (Debian's emacs-nox)"
emacs --batch --eval "(require 'eglot)" >/dev/null 2>&1 ||
  missing_client "eglot (built in from Emacs 29; Debian's elpa-eglot)"
copy_data_to_work unitlint-emacs "$examples"
add_non_ascii_unit "$work/data"
awk '/^```elisp$/ { block = ""; inside = 1; next }
     inside && /^```$/ { if (block ~ /eglot-server-programs/) printf "%s", block; inside = 0; next }
     inside { block = block $0 "\n" }' "$readme" >"$work/init.el"
[ -s "$work/init.el" ] || { echo "the README has no elisp block for eglot"; exit 1; }
export HOME="$work/home" DATA="$work/data" INIT="$work/init.el"
export PATH="$(dirname "$unitlint"):$PATH"
mkdir -p "$HOME"
timeout 120 emacs --batch -l "$here/emacs_eglot.el" 2>"$work/emacs.log"
status=$?
[ "$status" = 0 ] || { echo "emacs ended with status $status"; tail -30 "$work/emacs.log"; }
exit "$status"
