; What the assembler leaves out is named, never silently different.
; words: 0000 0000
; problem: 9 error array symbols are not supported
; problem: 10 error expression lists (array symbols) are not supported
; problem: 11 error string-valued symbols are not supported
; problem: 12 error the function CLASSIFY() is not supported
; problem: 13 warning WMSG is not supported
; problem: 14 error FORCE_OVERWRITE is not supported
T[0]    EQU     5
L       QSET    1, 2
W       QEQU    "text"
        DECLE   CLASSIFY(L)
        WMSG    "hello"
        FORCE_OVERWRITE 1
        DECLE   0
