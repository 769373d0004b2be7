; Division and MOD by zero are errors, never a crash.
; words: 0000 0000 0000 0001
; problem: 6 error division by zero
; problem: 7 error division by zero
; problem: 8 error division by zero
        DECLE   10 % 0
        DECLE   10 MOD 0
        DECLE   10 / (2 - 2)
        DECLE   1
