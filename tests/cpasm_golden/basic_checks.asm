; The framework's own checks raise their errors through ERR and set its error flag: a second
; setup is refused.
; problem: 32 error SEG.Setup is used twice
; words: 000A 0050 0005 0050 0000 02BE 0308 0002 0200 0001 0000 FFFF
        INCLUDE "basic_prologue.inc"
        SEG.Setup 0
        ORG     $6000
        DECLE   _seg.error
