; Escapes other than \\ \" \' and unclosed quotes are errors.
; words: 0000 0000 0000
; problem: 6 error escape \n is not supported
; problem: 7 error missing closing quote
; problem: 8 error missing closing quote
        DECLE   "a\nb"
        DECLE   'ab ; no closing quote
        DECLE   "ab
        DECLE   0
