; Number spellings.
; words: 0005 000C 001B 001B 0003 0005 001F 000A 00FF
        ORG     $5000
        DECLE   0101b, 1100B, $1B, 1Bh, 0b11, %101, 0x1F, 10, 0FFh
