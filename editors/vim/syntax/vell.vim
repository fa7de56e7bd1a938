" Vim syntax file
" Language: Vell, the scenario language of Plotwright (*.vell)
"
" A ';' first on a physical line makes a comment line; a trailing backslash joins a line to the
" next, and the first byte of the joined line decides its kind, so every kind of line is a
" region that a trailing backslash carries on. Statement keywords are prefixes of a line:
" "endless" is "end", "settle" is "set". A select block's body lines name scenes, so the block
" is a region from its statement up to the next statement.

if exists('b:current_syntax')
  finish
endif
let s:cpo_save = &cpo
set cpo&vim

syn case match
" Select blocks and the lines before the first statement are known only from the top.
syn sync fromstart

let s:keyword = '\%(system_mes\|select\|bunki\|koru\|system\|title\|action\|test\|set\|scene\|lumen\|end\)'
let s:blank = '[ \t\u3000]'
" <left op right>: the left side runs to the first ! = < >, the right side to the first >.
let s:condition = '<[^!=<>]*\%(==\|!=\|<=\|>=\|[=!].\=\|<\|>\)[^>]*>'
let s:builtin_target = '\%(Novel_generation\|No\|paragraph\|dummy\|小説ランダム生成\|章番号\|段落\|ダミー\)'
let s:builtin_block = '\%(start_message\|last_message\|No\|paragraph\|dummy\|Vell_novels\|開始メッセージ\|終了メッセージ\|章番号\|段落\|ダミー\|Vell言語小説生成\)'

" ---------------------------------------------------------------------------------------------
" Pieces shared by every kind of line.
syn match vellComment /^;.*/
syn match vellContinuation /\\$/ contained
syn match vellTrailingBlank /[ \t\u3000]\+$/ contained

" ---------------------------------------------------------------------------------------------
" Text lines.
syn region vellText start=/^\ze[^;]/ skip=/\\$/ end=/$/ contains=@vellTextItems,vellLineBar
syn cluster vellTextItems contains=vellContComment,vellContinuation,vellJoin,vellLineBreak,
      \ vellOutputOn,vellSpace,vellStray,vellInlineComment,vellBrokenCondition,vellCondition,
      \ vellVariable,vellAssignment,vellBadVariable,vellGroup
syn match vellJoin /-$/ contained
syn match vellLineBreak +/+ contained
syn match vellOutputOn /;/ contained
syn match vellSpace /\~/ contained
syn match vellStray /[)\]}]/ contained
syn match vellLineBar /|/ contained
syn region vellGroup matchgroup=vellGroupParen start=/(/ end=/)/ end=/\\\@<!$/ contained
      \ transparent contains=@vellTextItems,vellGroupBar
syn match vellGroupBar /|/ contained
" '{' ... '}' inside a line is a comment, but a '/', ';', condition or final '-' in it still acts.
syn region vellInlineComment start=/{/ end=/}/ end=/\\\@<!$/ contained
      \ contains=vellInlineComment,vellContComment,vellContinuation,vellJoin,vellLineBreak,
      \ vellOutputOn,vellBrokenCondition,vellCondition

" A '<' that opens no complete condition swallows the rest of the line.
syn match vellBrokenCondition /<.*/ contained
" The character right after a condition's '>' is plain text, even a / ; { } < or final '-'.
exe 'syn match vellCondition /' . s:condition . '\%([/;{}<]\|-$\)\=/ contained contains=vellConditionPart'
syn match vellConditionPart /\%(<\)\@<=[%$]/ contained contains=NONE
syn match vellConditionPart /[%$]\@<=[^!=<>]\+/ contained
syn match vellConditionPart /==\|!=\|<=\|>=\|\%([^<]\)\@<=[<>]\%([^>]*>\)\@=/ contained
syn match vellConditionOperatorBad /\%(<[^!=<>]*\)\@<=[=!][^=]/ contained containedin=vellCondition
syn match vellAfterCondition />\@<=[/;{}<]\|>\@<=-$/ contained containedin=vellCondition

" Variables: [name] [%n] [%Dn] [name=value] [name=(a|b)] [%n=5] [%n+=2] [%n-=2] [%n++] [%n--].
" A name runs up to the first = + - ]; a value up to the first ].
syn match vellVariable /\[%D\=[^=+\-\]]*\]/ contained contains=vellVariableMark
syn match vellVariable /\[[^%=+\-\]][^=+\-\]]*\]\|\[\]/ contained contains=vellVariableMark
syn match vellVariable /\[%[^=+\-\]]*\%(+=\|-=\)[^\]]*\]\=/ contained contains=vellVariableMark,vellVariableOperator
syn match vellVariable /\[%[^=+\-\]]*\%(++\|--\)\]\=/ contained contains=vellVariableMark,vellVariableOperator
syn region vellAssignment matchgroup=vellVariable start=/\[%\=[^=+\-\]]*=/ end=/]/ end=/\\\@<!$/
      \ contained contains=vellValueGroup,vellValueBar,vellContinuation
syn region vellValueGroup matchgroup=vellGroupParen start=/(/ end=/)/ end=/\ze]/ end=/\\\@<!$/
      \ contained contains=vellValueGroup,vellGroupBar
syn match vellValueBar /|/ contained
syn match vellVariableMark /\[\@<=%D\=\|\]/ contained
syn match vellVariableOperator /+=\|-=\|++\|--/ contained
" Changing a name without '%' does nothing; '+' or '-' not followed by '=' or itself drops the
" bracket and prints what follows.
syn match vellBadVariable /\[\%([^%=+\-\]][^=+\-\]]*\)\=\%(+=\|-=\|++\|--\)[^\]]*\]\=/ contained
syn match vellBadVariable /\[[^=+\-\]]*\%(+[=+]\@!\|-[=-]\@!\)/ contained

" ---------------------------------------------------------------------------------------------
" Literal lines ('-' first), paragraph marks ('#' first) and jump directives ('{' first).
syn region vellLiteral start=/^-/ skip=/\\$/ end=/$/
      \ contains=vellContComment,vellContinuation,vellSpace,vellLineBar,vellLiteralGroup
syn region vellLiteralGroup matchgroup=vellGroupParen start=/(/ end=/)/ end=/\\\@<!$/ contained
      \ contains=vellLiteralGroup,vellGroupBar,vellSpace
syn region vellParagraph matchgroup=vellParagraphMark start=/^#/ skip=/\\$/ end=/$/
      \ contains=vellContComment,vellContinuation,vellLineBar

" directive -> '{' [';'] alternative { (';' | ) alternative } '}', nothing read after it
" alternative -> ['<' condition '>'] [! # & &+ &- *] target
syn region vellDirectiveLine start=/^{\@=/ skip=/\\$/ end=/$/
      \ contains=vellIgnoredTail,vellContinuation,vellDirective
syn match vellIgnoredTail /[^\\]\+\|\\\ze./ contained
syn region vellDirective matchgroup=vellDirectiveBrace start=/^{/ end=/}/ end=/\\\@<!$/ contained
      \ contains=vellContComment,vellContinuation,vellSeparator,vellTarget,vellBrokenCondition,
      \ vellGuard
syn match vellSeparator /;/ contained
exe 'syn match vellGuard /' . s:condition . '/ contained contains=vellConditionPart'
syn match vellTarget /[^}<;]\+/ contained
      \ contains=vellTargetPrefix,vellBuiltinTarget,vellSceneNumber,vellTargetBlank
syn match vellTargetPrefix /\%([{;>]\)\@<=\%([!#*]\|&[+-]\=\)/ contained
exe 'syn match vellBuiltinTarget /\%([{;>!#*&+-]\)\@<=' . s:builtin_target . '\ze\%([}<;]\|$\)/ contained'
syn match vellSceneNumber /\%([{;>!#*&+-]\)\@<=\d\{6}/ contained
" Blanks belong to the target: '{ A}' names " A".
syn match vellTargetBlank /\%([{;>!#*&+-]\)\@<=[ \t\u3000]\+\|[ \t\u3000]\+\%([}<;]\|$\)\@=/ contained

" A comment line inside a continued line: taken with its line end, so the line goes on. Defined
" after the items of a line, so that its ';' is not taken for one.
syn match vellContComment /^;.*\n/ contained

" ---------------------------------------------------------------------------------------------
" Statements and blocks.
exe 'syn region vellStatement matchgroup=vellSceneKeyword start=/^\%(system\|action\|test\|set\|scene\|lumen\)' . s:blank . '*/ skip=/\\$/ end=/$/ contains=vellContinuation,vellTrailingBlank,vellBuiltinBlock'
exe 'syn region vellStatement matchgroup=vellTitleKeyword start=/^title' . s:blank . '*/ skip=/\\$/ end=/$/ contains=vellContinuation,vellTrailingBlank,vellBuiltinBlock'
exe 'syn region vellStatement matchgroup=vellMessageKeyword start=/^\%(system_mes\|koru\)' . s:blank . '*/ skip=/\\$/ end=/$/ contains=vellContinuation,vellTrailingBlank,vellBuiltinBlock'
exe 'syn match vellBuiltinBlock /\%(^' . s:keyword . s:blank . '*\)\@<=' . s:builtin_block . '$/ contained'

" "end" closes the block before it; the rest of its line and the lines after it, up to the next
" statement, belong to no block. So do the lines before the first statement.
exe 'syn region vellIgnored matchgroup=vellEndKeyword start=/^end/ end=/^' . s:keyword . '\@=/ contains=vellComment'
exe 'syn region vellIgnored start=/\%^' . s:keyword . '\@!/ end=/^' . s:keyword . '\@=/ contains=vellComment'

" choice -> '<' condition '>' blanks destination | destination
exe 'syn region vellSelectBlock matchgroup=vellSelectKeyword start=/^\%(select\|bunki\)/ end=/^' . s:keyword . '\@=/ contains=vellSelectName,vellComment,vellChoice'
exe 'syn match vellSelectName /\%(^\%(select\|bunki\)' . s:blank . '*\)\@<=[^ \t\u3000].*/ contained contains=vellTrailingBlank'
syn region vellChoice start=/^\ze[^;]/ skip=/\\$/ end=/$/ contained
      \ contains=vellContComment,vellContinuation,vellTrailingBlank,vellLeadingBlank,
      \ vellBrokenChoice,vellChoiceCondition,vellBuiltinDestination
syn match vellLeadingBlank /^[ \t\u3000]\+/ contained
syn match vellBrokenChoice /^<.*/ contained
exe 'syn match vellChoiceCondition /^' . s:condition . s:blank . '*/ contained contains=vellConditionPart'
exe 'syn match vellBuiltinDestination /\%(^\|>' . s:blank . '*\)\@<=' . s:builtin_target . '$/ contained'

" ---------------------------------------------------------------------------------------------
hi def link vellComment Comment
hi def link vellContComment Comment
hi def link vellIgnored Comment
hi def link vellIgnoredTail Comment
hi def link vellInlineComment Comment
hi def link vellParagraph Comment
hi def link vellContinuation SpecialChar
hi def link vellTrailingBlank Error
hi def link vellLeadingBlank Error
hi def link vellTargetBlank Error
hi def link vellSceneKeyword Statement
hi def link vellTitleKeyword Statement
hi def link vellMessageKeyword Statement
hi def link vellEndKeyword Statement
hi def link vellSelectKeyword Conditional
hi def link vellStatement Title
hi def link vellSelectName Title
hi def link vellBuiltinBlock Special
hi def link vellChoice Function
hi def link vellTarget Function
hi def link vellBuiltinTarget Special
hi def link vellBuiltinDestination Special
hi def link vellSceneNumber Number
hi def link vellTargetPrefix Operator
hi def link vellSeparator Delimiter
hi def link vellDirectiveBrace Delimiter
hi def link vellBrokenChoice Error
hi def link vellBrokenCondition Error
hi def link vellConditionOperatorBad Error
hi def link vellBadVariable Error
hi def link vellStray Error
hi def link vellCondition PreProc
hi def link vellGuard PreProc
hi def link vellChoiceCondition PreProc
hi def link vellConditionPart Identifier
hi def link vellAfterCondition Normal
hi def link vellJoin SpecialChar
hi def link vellLineBreak SpecialChar
hi def link vellSpace SpecialChar
hi def link vellOutputOn Conditional
hi def link vellLineBar Operator
hi def link vellGroupBar Operator
hi def link vellValueBar Operator
hi def link vellGroupParen Delimiter
hi def link vellVariable Identifier
hi def link vellVariableMark Delimiter
hi def link vellVariableOperator Operator
hi def link vellAssignment String
hi def link vellValueGroup String
hi def link vellLiteral String
hi def link vellLiteralGroup String
hi def link vellParagraphMark Statement

let b:current_syntax = 'vell'
let &cpo = s:cpo_save
unlet s:cpo_save
