; Every branch spelling, forward by 0.
; words: 0200 0000 0201 0000 0201 0000 0202 0000 0203 0000 0204 0000 0204 0000
; words: 0205 0000 0205 0000 0206 0000 0206 0000 0207 0000
; words: 0208 0000 0209 0000 0209 0000 020A 0000 020B 0000 020C 0000 020C 0000 020C 0000
; words: 020D 0000 020D 0000 020E 0000 020E 0000 020F 0000
        ORG     $5000
        B       $+2
        BC      $+2
        BLGT    $+2
        BOV     $+2
        BPL     $+2
        BEQ     $+2
        BZE     $+2
        BLT     $+2
        BNGE    $+2
        BLE     $+2
        BNGT    $+2
        BUSC    $+2
        NOPP    $+2
        BNC     $+2
        BLLT    $+2
        BNOV    $+2
        BMI     $+2
        BNEQ    $+2
        BNZE    $+2
        BNE     $+2
        BGE     $+2
        BNLT    $+2
        BGT     $+2
        BNLE    $+2
        BESC    $+2
