 ORG $5000
_t.n QSET 0
 REPEAT 3
_t.b   [_t.n] QSET _t.n
_t.n QSET _t.n + 1
 ENDR
T[0] EQU 5
MACRO MVO r, a
 mvo %r%, %a%
ENDM
buf MVO R0, $100
 DECLE CLASSIFY(_t.b[7]), T[0]
