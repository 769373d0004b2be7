; '&' belongs to a name after '_' (as compilers write them); elsewhere it is AND.
; words: 0003 0001 0002
        ORG     $5000
var_&X  EQU     3
Y       EQU     6
        DECLE   var_&X, 5&3, Y & 3
