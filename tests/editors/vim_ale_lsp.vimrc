" The README's ALE configuration, with the program and the plugin from the environment.
set nocompatible
let &runtimepath = $ALE_DIR . ',' . &runtimepath . ',' . $ALE_DIR . '/after'
filetype plugin on
let g:ale_linters = {'csv': ['unitlint']}
call ale#linter#Define('csv', {
\   'name': 'unitlint',
\   'lsp': 'stdio',
\   'executable': $UNITLINT,
\   'command': '%e --lsp',
\   'project_root': {buffer -> fnamemodify(bufname(buffer), ':p:h:h')},
\})
