; ORG attribute strings: RAM reserved under "=RW" goes to [memattr]; data under "=RW" is mapped
; as RAM; "-" clears attributes but the data stays in the image; ECS pages get PAGE lines.
; words: 0003 0001 0002 0004
; map: $0000 - $0000 = $0000
; map: $0001 - $0001 = $5000
; map: $0002 - $0002 = $9000 RAM 16
; map: $0003 - $0003 = $A000 PAGE 1
; map: $8000 - $8063 = RAM 16
; map: $8064 - $8065 = RAM 8
        ORG     $5000
        DECLE   1
        ORG     $8000, $8000, "=RW"
BUF     RMB     100
        ORG     $8064, $8064, "+RWN"
        RMB     2
        ORG     $9000, $9000, "=RW"
        DECLE   2
        ORG     $6000, $0000, "-RWBN"
        DECLE   3
        ORG     $A000:1
        DECLE   4
