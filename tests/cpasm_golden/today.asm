; TODAY_*: the clock stands at 2026-03-04 05:06:07 UTC.
; now: 1772600767
; words: 0000 07EA 0003 0004 0005 0006 0007 0032 0036
; map: build_date = "2026-03-04 05:06:07 AM +0000"
; map: year = 2026
        ORG     $5000
year    EQU     TODAY_VAL_GMT("%Y %m-%d")
        DECLE   year - 2, year[0], year[1], year[2]
        DECLE   TODAY_VAL_GMT("%H:%M:%S"), TODAY_STR_GMT("%y")
        CFGVAR  "build_date" = TODAY_STR_GMT("%Y-%m-%d %H:%M:%S %p %z")
        CFGVAR  "year" = year[0]
