; Reserving the last 16 words of the address space ends exactly at its top.
; words: 0001 0002
        ORG     $5000
        DECLE   1
        ORG     $FFF0
        RMB     16
        ORG     $5001
        DECLE   2
