; What the assembler leaves out is named, never silently different.
; words: 0000 0000
; problem: 9 error more than one dimension
; problem: 10 error the function TODAY_STR_LOC() is not supported
; problem: 11 error unexpected '_'
; problem: 12 warning WMSG is not supported
; problem: 13 error FORCE_OVERWRITE is not supported
; problem: 14 error .rom output
T[0]    EQU     5, 6
        DECLE   TODAY_STR_LOC("%Y")
        DECLE   1 _ROTL16 2
        WMSG    "hello"
        FORCE_OVERWRITE 1
        ORG     $5000, $5000, "+RB"
