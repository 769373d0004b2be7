; Attribute strings that cannot be written as a .cfg, or that are malformed.
; words: 0000 0001
; problem: 8 error needs .rom output
; problem: 9 error bad memory attribute 'X'
; problem: 10 error at most two actions
; problem: 11 error ECS page 16 is outside 0 to 15
; problem: 0 error write-only memory at $7000
        ORG     $5000, $5000, "=RB"
        ORG     $5000, $5000, "+X"
        ORG     $5000, $5000, "=R,+W"
        ORG     $A000:16
        DECLE   0
        ORG     $7000, $7000, "=W"
        RMB     1
        ORG     $AFFF:2
        DECLE   1, 2        ; problem: 16 error ECS page data runs past the 4K block at $B000
