; CFGVAR values are evaluated: numbers in decimal, texts quoted.
; words: 0000
; map: jlp = 3
; map: name = "Demo 1"
        DECLE   0
        CFGVAR  "jlp" = 1 + 2
        CFGVAR  "name" = "Demo 1"
