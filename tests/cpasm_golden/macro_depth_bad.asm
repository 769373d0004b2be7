; A macro that calls itself: the 65th nested call is refused.
; problem: 5 error macros nested more than 64 deep
        MACRO   nest n
        IF      %n% > 1
        nest    (%n%-1)
        ENDI
        ENDM
        nest    65
