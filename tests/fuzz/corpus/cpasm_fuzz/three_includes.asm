; Each INCLUDE reads this same text again under another name (each folder deeper than the last): the expansion grows threefold
; at every level until a limit stops it.
        ORG     $5000
TOP     DECLE   $ - TOP
        MACRO   twice(x)
        ((%x%) * 2)
        ENDM
        DECLE   twice(twice(3))
        REPEAT  3
        DECLE   1, 'a', "b\"c"
        ENDR
        INCLUDE "a/x.asm"
        INCLUDE "b/x.asm"
        INCLUDE "c/x.asm"
