#!/usr/bin/env bash
# Neovim's own language client against unitlint --lsp: neovim_lsp.sh UNITLINT EXAMPLES README
# Headless Neovim runs the README's configuration for its version (the lua block that uses
# vim.lsp.start, from 0.8, or vim.lsp.start_client), with unitlint found on PATH, and opens a
# copy of the sample data directory (EXAMPLES); neovim_lsp.lua checks the diagnostics, a hover
# and a quick fix, and its exit status is the test's. Without nvim the test is skipped (status
# 77) unless CI=true, where it must be there.
set -u
unitlint=$1 examples=$2 readme=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/real_client.sh"
command -v nvim >/dev/null 2>&1 || missing_client "nvim (Debian's neovim)"
copy_data_to_work unitlint-nvim "$examples"
add_non_ascii_unit "$work/data"
# Neovim's own files (state, log, swap) stay in the temporary folder; no user configuration.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share"
export XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
export README="$readme" DATA="$work/data" PATH="$(dirname "$unitlint"):$PATH"
# A Lua error leaves Neovim running: the command after the script ends it with status 3.
timeout 120 nvim --headless --clean -n -c "luafile $here/neovim_lsp.lua" -c "cquit 3" </dev/null
status=$?
[ "$status" = 0 ] || { echo "neovim ended with status $status"; cat "$work/state/nvim/lsp.log" \
  "$work/cache/nvim/lsp.log" 2>/dev/null | tail -20; }
exit "$status"
