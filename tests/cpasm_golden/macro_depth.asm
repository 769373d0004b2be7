; A macro that calls itself: 64 nested calls work.
; words: 0040 0001
        MACRO   nest n
        IF      %n% > 1
        nest    (%n%-1)
        ELSE
        DECLE   64, %n%
        ENDI
        ENDM
        nest    64
