; Values at the edges: NOT of zero and of non-zero, the most negative word, CLASSIFY of R7, and
; IF/ELSE inside a false IF, where neither branch is assembled.
; words: 0001 0000 8000 0007
; words: 0002 0003
        DECLE   !0, !5
        DECLE   -32768
        DECLE   CLASSIFY(R7)
        IF      0
        IF      1
        DECLE   $BAD1
        ELSE
        DECLE   $BAD2
        ENDI
        IF      0
        DECLE   $BAD3
        ELSE
        DECLE   $BAD4
        ENDI
        ELSE
        DECLE   2
        ENDI
        DECLE   3
