; Strings in either quote, of any length, with \\ \" \' escapes; quotes and ';' inside a
; string are characters, not the end of the string or a comment.
; words: 0041 0042 0048 0069 0000
; words: 0061 0027 0062 005C 0022
; words: 0022 003B 0027 0041
; words: 0043 0044 0041 0001 0042
        ORG     $5000
        STRING  'AB'
        BYTE    'Hi',0
        DECLE   "a\'b", "\\", "\""
        DECLE   '"', ";", "'"
        DECLE   'A', "B"+1, 'D' ; a comment with a ' and a "
CH      EQU     'A'
ST      EQU     "AB"
        DECLE   CH, ST, ST[1]
