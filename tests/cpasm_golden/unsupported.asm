; What the assembler leaves out is named, never silently different.
; words: 0000
; problem: 9 error more than one dimension
; problem: 10 error the function NOSUCH() is not supported
; problem: 11 warning LISTCOL is not supported
; problem: 12 error FORCE_OVERWRITE is not supported
; problem: 13 error .rom output
; problem: 14 error array index outside
T[0]    EQU     5, 6
        DECLE   NOSUCH(2)
        LISTCOL 4, 8, 32
        FORCE_OVERWRITE 1
        ORG     $5000, $5000, "+RB"
big[1000000] QSET 1
