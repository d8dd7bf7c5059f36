" vorl programs: files named *.vorl, and scripts whose first line runs vorl
" (#!/usr/bin/env vorl) whatever their name.
autocmd BufNewFile,BufRead *.vorl setfiletype vorl
autocmd BufNewFile,BufRead * if getline(1) =~# '^#!.*[/ ]vorl\>' | setfiletype vorl | endif
