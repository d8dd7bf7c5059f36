" Vim syntax file for vorl programs (*.vorl).
" Texts and notes in square brackets (nested, with the escapes [p] [q] [r]), numerals
" (a leading 0 makes a negative number, 00 a numb), the operator characters, lambda
" parameters (name\), strict bindings (name{...} and (a b){...}), definition heads,
" the prelude's one-letter combinators A to Z and the built-in names. The built-in
" names between the BEGIN and END lines are written by editors/generate.py from the
" interpreter's own table; a unit test fails when they differ from it.

if exists('b:current_syntax')
  finish
endif
let s:cpo_save = &cpo
set cpo&vim

" Texts span lines and nest, so highlighting always starts from the top of the file.
syn sync fromstart

" Operators and punctuation first: every item below that starts at the same place
" is defined later and so wins.
syn match vorlOperator /[;\\{}?&|=#<>@+\-.:*\/%'^~!$"`]/
syn match vorlDelimiter /[(),]/

" Numerals: a run of digits is one number, whatever stands around it (x1 is x 1).
" 0 alone is zero, 05 is minus five, and a numeral beginning 00 is a numb.
syn match vorlNumber /[0-9]\+/
syn match vorlNegative /0[1-9][0-9]*/
syn match vorlNumb /00[0-9]*/

" The prelude's combinators: every capital letter is one (BKK is B K K).
syn match vorlCombinator /[A-Z]/

" Built-in names: a whole run of lower-case letters and underscores. The pattern asks
" for the backtracking engine (\%#=1), which takes so many alternatives some sixty
" times faster than the default one.
" BEGIN built-in names (editors/generate.py)
syn match vorlBuiltin "\%#=1\V\[a-z_]\@1<!\%(abort\|abs\|accept\|acos\|addrinfo\|af_unspec
      \\|ai_passive\|asctime\|asin\|assert\|atan\|atof\|atoi\|atol\|bind\|buck\|bzero\|calloc\|cape
      \\|ceil\|cent\|clearerr\|closedir\|closesocket\|cmpr\|connect\|copy\|cork\|cos\|cosh\|ctime
      \\|dash\|diff\|difftime\|dirent\|eacces\|ebadf\|econnaborted\|efault\|eintr\|einval\|eio
      \\|emfile\|enfile\|enodev\|enomem\|enotsock\|enxio\|eopnotsupp\|eoverflow\|erf\|erfc\|errno
      \\|ewouldblock\|exit\|exp\|fabs\|fclose\|fd_set\|fdopen\|feof\|ferror\|fflush\|fgetc\|fgetpos
      \\|fgets\|fileno\|floor\|fmod\|fopen\|fputc\|fputs\|fread\|free\|freeaddrinfo\|frexp\|fseek
      \\|fsetpos\|ftell\|fwrite\|gai_strerror\|getaddrinfo\|getc\|getchar\|getenv\|gethostname
      \\|getnameinfo\|getpeername\|gets\|gett\|getu\|getv\|getw\|getx\|gety\|getz\|gmtime\|gteq
      \\|htonl\|htons\|hypot\|inet_ntop\|inet_pton\|init\|isalnum\|isalpha\|isascii\|isblank
      \\|isdigit\|isgraph\|islower\|isprint\|ispunct\|isspace\|isupper\|labs\|ldexp\|leaf\|leak
      \\|left\|less\|lisp\|listen\|lits\|load\|localtime\|log\|look\|lots\|malloc\|memchr\|memcmp
      \\|memcpy\|memmove\|memset\|mktime\|modf\|mult\|nextafter\|ntohl\|ntohs\|opendir\|over\|perror
      \\|plus\|pow\|powa\|putc\|putchar\|puts\|raise\|rand\|rand_max\|rank\|raws\|read\|readdir
      \\|real\|realloc\|recv\|recvfrom\|remove\|rename\|rewind\|rght\|same\|send\|sendto\|setbuf
      \\|setsockopt\|sett\|setu\|setw\|setx\|shutdown\|sin\|sinh\|sock_stream\|socket\|sqrt\|srand
      \\|stderr\|stdout\|strcasecmp\|strcat\|strchr\|strcmp\|strcpy\|strdup\|strerror\|strftime
      \\|strlen\|strncasecmp\|strncat\|strncmp\|strncpy\|strnlen\|strpbrk\|strrchr\|strspn\|strstr
      \\|strtod\|strtok\|strtok_r\|strtol\|strtoul\|system\|tan\|tanh\|tern\|time\|time_t\|tmpfile
      \\|tmpnam\|toascii\|tolower\|toupper\|trim\|type\|ungetc\|wave\|write\|zits\)\[a-z_]\@!"
" END built-in names

" Binders. A name directly before \ is a lambda's parameter; a name of two or more
" letters at the start of a line or after a comma, before \ or ()\, heads a
" definition (a single letter is always a variable). A name before { is bound
" strictly, and so are both names of a pair pattern (a b){...}.
syn match vorlParameter /[a-z_]\@1<![a-z_]\+\ze\\/
syn match vorlDefinition /\%(^\|,\@1<=\s*\)\zs[a-z_]\{2,}\ze\%(()\)\=\\/
syn match vorlBinding /[a-z_]\@1<![a-z_]\+\ze{/
syn match vorlPairPattern /(\s*[a-z_]\+\s\+[a-z_]\+\s*)\ze\s*{/ contains=vorlPairName,vorlDelimiter
syn match vorlPairName /[a-z_]\+/ contained

" Texts: [ ... ], nesting as their brackets do; inside, [p] is a line feed, [q] an
" opening and [r] a closing bracket. A text that begins a line is taken for a note,
" the language's way of commenting (an item between two commas that is no
" definition). The shebang line of a script is read as spaces.
syn region vorlText matchgroup=vorlText start=/\[/ end=/\]/ contains=vorlTextGroup,vorlEscape
syn region vorlTextGroup matchgroup=vorlText start=/\[/ end=/\]/ contained contains=vorlTextGroup,vorlEscape
syn region vorlNote matchgroup=vorlNote start=/^\[/ end=/\]/ contains=vorlNoteGroup,vorlEscape,@Spell
syn region vorlNoteGroup matchgroup=vorlNote start=/\[/ end=/\]/ contained contains=vorlNoteGroup,vorlEscape,@Spell
syn match vorlEscape /\[[pqr]\]/ contained
syn match vorlShebang /\%^#!.*/

hi def link vorlOperator Operator
hi def link vorlDelimiter Delimiter
hi def link vorlNumber Number
hi def link vorlNegative Number
hi def link vorlNumb Float
hi def link vorlCombinator Type
hi def link vorlBuiltin Function
hi def link vorlParameter Identifier
hi def link vorlDefinition Function
hi def link vorlBinding Identifier
hi def link vorlPairName Identifier
hi def link vorlText String
hi def link vorlNote Comment
hi def link vorlTextGroup vorlText
hi def link vorlNoteGroup vorlNote
hi def link vorlEscape SpecialChar
hi def link vorlShebang PreProc

let b:current_syntax = 'vorl'
let &cpo = s:cpo_save
unlet s:cpo_save
