; Array elements: blanks between a label's name and its index, elements indexed by a counter,
; elements equated with EQU (they settle like labels), CLASSIFY of elements set and never set,
; and IF chains over them.
; words: 0005 0007 0009 000B 0003 FFFF D8F0 0001 0000 0002
; words: 0010 000B 000D
        ORG     $5000
_t.n    QSET    0
        REPEAT  4
_t.b   [_t.n] QSET 5 + 2 * _t.n
_t.n    QSET    _t.n + 1
        ENDR
        DECLE   _t.b[0], _t.b [1], _t.b[2, 3], _t.b
        DECLE   CLASSIFY(_t.b[1]), CLASSIFY(_t.b[7])
        IF      (CLASSIFY(_t.b[3]) = -10000)
        DECLE   $DEAD
        ELSE
        IF      _t.b[3] > 10
        DECLE   1
        ELSE
        DECLE   2
        ENDI
        ENDI
        IF      ((CLASSIFY(_t.b[9]) = -10000)) AND (_t.b[0] = 5)
        DECLE   0
        ENDI
        DECLE   2
; Equated elements, used before and after their definition.
        DECLE   T[0] + T[1] + T [0]
T[0]    EQU     5
T [1]   EQU     6
        DECLE   T[0] + T[1]
        DECLE   lbl - $5000
lbl:
