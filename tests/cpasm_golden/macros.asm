; Macros called with parentheses anywhere in a line, nested, and as a statement; [ ] around an
; argument keeps its commas; %% counts expansions from 0.
; words: 0102 02B8 0123 0003 0001 0002 0001 0004 0001 0102 0007
; words: 004D 0001 0002 0003 000B 000C 0001
        ORG     $5000
        MACRO   pk(h, l)
        (((%h%)*256)+(%l%))
        ENDM
        MACRO   pair(a, b)
        DECLE   %a%
        DECLE   %b%
        ENDM
        MACRO   plain a, b
        DECLE   %a%, %b%
        ENDM
        DECLE   pk(1, 2)
        MVII    #pk(1, $23), R0
        DECLE   pk(0, pk(0, 3))
        pair(1, 2)
        plain   1, 4
        DECLE   STRLEN("x") , pk( 1 , 2 ) ; pk(9, 9) in a comment stays
        MACRO   pk(h, l)
        ((%h%) - (%l%))
        ENDM
        DECLE   pk(9, 2)
        MACRO   both r, n
        SLL     %r%, %n%
        ENDM
        MACRO   twice m, r, n
        %m%     %r%, %n%
        ENDM
        twice   both, [R1], 2
        twice   DECLE, [1, 2], 3
        MACRO   mark
here.%% DECLE   %%
        ENDM
        mark
        mark
        DECLE   here.12 - here.11
