; Array symbols and expression lists: a list or string assigned to a name, elements and
; slices (reversed when the second index is lower), the plain name as the last index, element
; and slice assignment, and texts built with $( ).
; words: 0002 0014 000A 0014 001E 001E 0014 000A
; words: 0005 0000 0001 0002 0003 0004 0005 0009
; words: 0000 0001 0002 0003 0007 0006 0005 0004 0008 0009
; words: 0005 0004 0003 0007 0001 0068 0069 0031 0032 0041 0042 0078
; words: 0004 0042 0000 0007 0006 0005 0004 0003 0048 0065 006C 006C 006F
; map: name = "hi"
; map: size = "0012"
; problem: 33 warning This is a warning.
foo     QSET    10, 20, 30
        DECLE   foo, foo[1], foo[0, 2], foo[2, 0]
fun     QSET    0, 1, 2, 3, 4, 5, 6, 7, 8, 9
fun     QSET    5
        DECLE   fun, fun[0, fun], fun[9]
fun     QSET    0, 1, 2, 3, 4, 5, 6, 7, 8, 9
fun[4, 7] QSET  fun[7, 4]
        DECLE   fun[0, 9]
list    EQU     0, 1, 2, 3, 4, 5
stk[0]  QSET    4
stk[stk + 1] QSET 3
        DECLE   list, stk[0], stk[1], STRLEN("abc") + stk[1] + 1, stk
N       QEQU    "name"
V       QEQU    "hi"
        DECLE   V[0, V], $("12"), $("A", 66)
        CFGVAR  $(N[0, N]) = $(V[0, V])
        CFGVAR  "size" = $$(18)
        DECLE   $($($($("x"))))
        DECLE   (1, 2, 3, 4)[3], ("ABCD")[1], ("AB")[5], (0, 1, 2, 3, 4, 5, 6, 7, 8, 9)[7, 3]
        DECLE   ("Hello World!")[0, 4]
Warn    QEQU    "This is a warning."
        WMSG    $(Warn[0, Warn])
        SMSG    $("size ", $#(12))
