; WORD is BIDECLE: low byte first; BYTE keeps the low byte.
; words: 0034 0012 00CD 00AB 00FF 0005
        ORG     $5000
        WORD    $1234
        BIDECLE $ABCD
        BYTE    -1, 5
