; DEFINED, IFDEF and IFNDEF see only what is defined earlier in the source, so an include
; guard keeps the first copy and drops the second.
; words: 00AA 5000 0001 0002 0003 0004 0005
        ORG     $5000
        IF      (DEFINED T) = 0
T       DECLE   $AA
        ENDI
        DECLE   T
        IFNDEF  LATER
        DECLE   1
        ENDI
        IFDEF   T
        DECLE   2
        ELSE
        DECLE   $BAD
        ENDI
        IFDEF   LATER
        DECLE   $BAD
        ENDI
        INCLUDE "guarded.inc"
        INCLUDE "guarded.inc"
        DECLE   4 + (DEFINED LATER)
LATER   DECLE   5
