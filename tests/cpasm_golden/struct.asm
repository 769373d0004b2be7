; STRUCT has its own location counter; '$' inside it is the STRUCT's; the main one goes on
; after ENDS.
; words: 0100 0007 0102 0100 0005 5004
        ORG     $5000
S       STRUCT  $100
@@a     EQU     $
@@b     EQU     7
@@c     RMB     2
@@d     EQU     $
        ENDS
        DECLE   S.a, S.b, S.d, S
        DECLE   $ - $5000 + 1, $
