; INCLUDE looks in the including file's folder, then the search folders.
; include-dir: lib
; words: 05EA 0003
        ORG     $5000
        INCLUDE "searched.inc"
        INCLUDE "guarded.inc"
