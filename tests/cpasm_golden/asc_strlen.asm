; STRLEN and ASC on quoted strings; ASC past the end is 0.
; words: 0003 0042 0000 0041
        ORG     $5000
        DECLE   STRLEN("abc"), ASC("AB", 1), ASC("AB", 2), ASC('A', 0)
