; Macro definitions that cannot work, and calls with too many arguments.
; problem: 5 error macro argument A is named twice
; problem: 7 error macro argument M has the macro's own name
; problem: 12 error takes 1 argument(s), not 2
        MACRO   twice(a, a)
        ENDM
        MACRO   m(m)
        ENDM
        MACRO   one(x)
        (%x%)
        ENDM
        DECLE   one(1, 2)
