; What a STRUCT cannot hold or do.
; words: 0001
; problem: 10 error code in a STRUCT is not supported
; problem: 11 error code in a STRUCT is not supported
; problem: 12 error STRUCTs do not nest
; problem: 15 error ENDS without STRUCT
; problem: 17 error STRUCT inside a PROC
        ORG     $5000
A       STRUCT  $200
        DECLE   1
        NOP
B       STRUCT  0
        ENDS
        DECLE   1
        ENDS
P       PROC
Q       STRUCT  0
        ENDP
