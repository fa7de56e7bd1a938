" Checks the Vell syntax against assertions written into a scenario, the way the grammar tests
" of the VS Code extension write them: a comment line of carets under characters of the line
" above (or '<-' for its first ones), then syntax groups that must be there and, after ' - ',
" groups that must not. The groups at a character are its syntax stack and its match group.
" Run: vim -Nu NONE -i NONE -Es --cmd 'set rtp^=editors/vim' -S check.vim FILE...
" Writes one line per failure and a closing 'N passed, N failed'; exits non-zero on failure.
filetype on
syntax on
set encoding=utf-8

let s:passed = 0
let s:failures = []

function! s:GroupsAt(lnum, col) abort
  let names = map(synstack(a:lnum, a:col), 'synIDattr(v:val, "name")')
  return add(names, synIDattr(synID(a:lnum, a:col, 0), 'name'))
endfunction

function! s:Check(file) abort
  execute 'edit ' . fnameescape(a:file)
  let target = 0
  for lnum in range(2, line('$'))
    let text = getline(lnum)
    let m = matchlist(text, '^;\(\s*\)\(\^\+\%(\s*\^\+\)*\|<-\+\)\s\+\(.*\)$')
    if empty(m)
      let target = lnum
      continue
    endif
    let [want, unwanted] = [split(m[3], ' - ')[0], get(split(m[3], ' - '), 1, '')]
    let want = m[3] =~# '^- ' ? '' : want
    let unwanted = m[3] =~# '^- ' ? m[3][2:] : unwanted
    if m[2] =~# '^<'
      let columns = range(0, len(m[2]) - 2)
    else
      let columns = filter(range(len(text)), 'text[v:val] ==# "^"')
    endif
    let line = getline(target)
    for column in columns
      let col = byteidx(line, column) + 1
      let groups = s:GroupsAt(target, col)
      let missing = filter(split(want), 'index(groups, v:val) < 0')
      let present = filter(split(unwanted), 'index(groups, v:val) >= 0')
      if empty(missing) && empty(present)
        let s:passed += 1
      else
        call add(s:failures, printf('%s:%d:%d: want [%s] not [%s], found [%s]', a:file, target,
              \ column, want, unwanted, join(groups)))
      endif
    endfor
  endfor
endfunction

for s:file in argv()
  call s:Check(s:file)
endfor
for s:failure in s:failures
  verbose echo s:failure
endfor
verbose echo printf('%d passed, %d failed', s:passed, len(s:failures))
execute (empty(s:failures) ? 'qall!' : 'cquit!')
