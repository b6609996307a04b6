" ALE from the environment's folder, then the README's configuration.
set nocompatible
let &runtimepath = $ALE_DIR . ',' . &runtimepath . ',' . $ALE_DIR . '/after'
filetype plugin on
execute 'source' fnameescape($README_VIM)
