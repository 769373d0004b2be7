; A program shaped like a compiled BASIC one: the framework first, statements that each begin
; with SRCFILE, a second segment, and the framework's end. The framework's checks all pass.
; words: 000A 0050 0005 0050 0000 02BE 0308 0002
; words: 0200 0001 0000 02B8 0005 0240 0102 0280
; words: 0102 0378 0004 0205 0004 02B8 0001 0240
; words: 0103 0004 01D0 0000 01C0 0240 0100 0340
; words: 0100 0224 0003 00AF 0280 0101 0070 03B8
; words: 007F 03C0 0100 0070 03B8 007F 0240 0101
; words: 00AF 0275 02B7 0220 0001
; map: $0000 - $0030 = $5000
; map: $0031 - $0034 = $D000
; map: name = "Shapes"
        ROMW    16
        INCLUDE "basic_prologue.inc"
        SRCFILE "game.bas", 1
        ;[1] x = 5
        MVII    #5, R0
        MVO     R0, var_X
        SRCFILE "game.bas", 2
        ;[2] IF x > 3 THEN y = 1
        MVI     var_X, R0
        CMPI    #4, R0
        BLT     T1
        MVII    #1, R0
        MVO     R0, var_Y
T1:
        SRCFILE "game.bas", 3
        ;[3] GOSUB sub
        CALL    label_SUB
        SRCFILE "game.bas", 4
        ;[4] SEGMENT 1
        SEG.Select 1
        SRCFILE "game.bas", 5
        ;[5] sub: PROCEDURE
label_SUB:      PROC
        BEGIN
        SRCFILE "game.bas", 6
        ;[6] END
        RETURN
        ENDP
        SRCFILE "", 0
        INCLUDE "basic_epilogue.inc"
        CFGVAR  "name" = "Shapes"
