; Macro names are case-sensitive and a macro may take an instruction's name: the upper-case MVO
; calls the macro, the lower-case mvo inside it is the instruction. A call's label goes to the
; first statement of the body that has none.
; words: 0203 0003 0240 0100 0240 0100 0007
; words: 0100 0104 0104 0107
; problem: 32 error macro names are case-sensitive: RESERVE16 is a macro
        ORG     $5000
MACRO   disp_ofs(r, c)
        ((%r%) * 256 + (%c%))
ENDM
MACRO   DISP_OFS r, c
        DECLE   (%r%) + (%c%)
ENDM
        DECLE   disp_ofs(2, 3)
        DISP_OFS 1, 2
MACRO   MVO reg, addr
        mvo     %reg%, %addr%
        MVO_COUNT QSET MVO_COUNT + 1
ENDM
MVO_COUNT QSET  0
        MVO     R0, $100
        mVo     R0, $100
        DECLE   MVO_COUNT + 6
MACRO   RESERVE16 n
        EQU     .MEM
.MEM    SET     .MEM + %n%
ENDM
.MEM    SET     $100
buf     RESERVE16 4
buf2    RESERVE16 3
        DECLE   buf, buf2, buf2 + 0, .MEM
        reserve16 1
