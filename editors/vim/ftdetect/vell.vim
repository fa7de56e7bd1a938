" Vell scenario files of Plotwright.
autocmd BufNewFile,BufRead *.vell setfiletype vell
