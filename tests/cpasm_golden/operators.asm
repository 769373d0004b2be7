; Operators: left to right within a level, comparisons, word operators, and names that begin
; with an operator word.
; words: 0005 0002 0001 0000 0001 0001 0003 0010 0004
; words: 0005 0006 0007 0009 000A 000B 500F
        ORG     $5000
        DECLE   10-3-2, 16/4/2, 3<=3, 4<=3, 3>=3, 2<3
        DECLE   11 MOD 4, 1 SHL 4, 16 SHR 2
NOTE    EQU     5
ANDY    EQU     6
ORBIT   EQU     7
MODE    EQU     8
SHLX    EQU     9
XORG    EQU     10
NOTE2   EQU     11
        DECLE   NOTE, ANDY, ORBIT, MODE+1, XORG, NOTE2
ALONE
        DECLE   ALONE
