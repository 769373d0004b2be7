; A symbol redefined with SET inside REPEAT changes as it goes, in every pass, and is never
; taken for a label that moved; a later label after it still settles.
; words: 8000 4000 2000 1000 0004 5006
        ORG     $5000
S       PROC
@@_     SET     0
        REPEAT  4
        DECLE   1 SHL (15 - @@_)
@@_     SET     @@_ + 1
        ENDR
        DECLE   @@_
        DECLE   after
after:  ENDP
