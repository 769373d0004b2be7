; Under ROMW 10 an immediate that does not fit gets its own SDBD; a forward one does not (mode
; 0) unless mode 1 asks; an immediate after JSRE (whose code is SDBD's) stays one word.
; words: 0001 02B8 0034 0012 02B8 03FF 02B9 0007
; words: 0004 0151 0000 02B8 0010
; words: 0001 02BA 0007 0000 0001 02B8 00FF 00FF 0005
; problem: 15 warning SDBD inserted
        ORG     $5000
        ROMW    10
        MVII    #$1234, R0
        MVII    #$3FF, R0
        MVII    #FWD, R1
        JSRE    R5, $5000
        MVII    #16, R0
        ROMW    10, 1
        MVII    #FWD, R2
        SDBD
        MVII    #-1, R0
FWD     EQU     7
        ROMW    16
        ORG     $6000
        DECLE   FWD - 2
