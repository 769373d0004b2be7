; What the assembler leaves out is named, never silently different.
; words: 0000
; problem: 8 error more than one dimension
; problem: 9 error unexpected '_'
; problem: 10 warning WMSG is not supported
; problem: 11 error FORCE_OVERWRITE is not supported
; problem: 12 error .rom output
T[0]    EQU     5, 6
        DECLE   1 _ROTL16 2
        WMSG    "hello"
        FORCE_OVERWRITE 1
        ORG     $5000, $5000, "+RB"
