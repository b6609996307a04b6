" Run by vim_ale_lsp.sh on the sample's unit table; each step writes what it saw to $RESULT and
" the first failure quits with status 1.
let s:log = []

function! s:say(text) abort
  call add(s:log, a:text)
  call writefile(s:log, $RESULT)
endfunction

function! s:fail(text) abort
  call s:say('FAILED: ' . a:text)
  cquit 1
endfunction

" The location list as line:first column-last column (1-based, as ALE counts) and rule.
function! s:places() abort
  return map(getloclist(0), {_, d -> d.lnum . ':' . d.col . '-' . d.end_col . ' '
        \ . matchstr(d.text, '^[a-z-]\+')})
endfunction

function! s:wait_for(want, what) abort
  let l:tries = 0
  while s:places() != a:want && l:tries < 200
    sleep 100m
    let l:tries += 1
  endwhile
  if s:places() != a:want
    call s:fail(a:what . ': ' . string(s:places()))
  endif
  call s:say('ok: ' . a:what . ': ' . join(s:places(), ', '))
endfunction

" ALE counts columns in bytes where the server counts UTF-16 units, as the README warns: on the
" last line, of non-ASCII text, ALE's place is the UTF-16 column, ten bytes short of "flase".
let s:flase = stridx(getline(13), 'flase') + 1
let s:ale_flase = s:flase - 10
let s:sample = ['4:319-323 not-boolean', '5:151-167 mesh-missing', '6:282-288 float-syntax',
      \ '7:11-59 text-too-long', '11:733-734 nested-too-many-values',
      \ '11:738-756 unknown-category', '12:692-707 unknown-cargo',
      \ '13:' . s:ale_flase . '-' . (s:ale_flase + 4) . ' not-boolean']
call s:wait_for(s:sample, "the sample's 7 diagnostics and the non-ASCII line's")

" The README's :make, for lines with non-ASCII text: the text form counts bytes, as Vim does.
execute 'source' fnameescape($MAKEPRG_VIM)
silent make!
let s:made = filter(getqflist(), {_, d -> d.lnum == 13})
if len(s:made) != 1 || s:made[0].col != s:flase || getline(13)[s:made[0].col - 1 :
      \ s:made[0].col + 3] isnot# 'flase'
  call s:fail(':make did not place the non-ASCII line''s fault at byte ' . s:flase . ': '
        \ . string(s:made))
endif
call s:say('ok: :make places the non-ASCII line''s fault at its byte column ' . s:flase)

" ALE lists the actions at the cursor and asks for a number: the only one is the fix.
call cursor(4, 320)
call feedkeys("1\<CR>", 't')
ALECodeAction
let s:tries = 0
while getline(4)[318:322] isnot# 'false' && s:tries < 100
  sleep 100m
  let s:tries += 1
endwhile
if getline(4)[318:322] isnot# 'false'
  call s:fail('the quick fix was not applied: ' . getline(4)[310:330])
endif
call s:say('ok: the quick fix wrote "false"')
" Not on a terminal, Vim sees no typing that would start ALE's check of the changed text.
ALELint
call s:wait_for(s:sample[1:], "the fixed line's diagnostic gone")
qall!
