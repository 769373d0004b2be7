; The rotations: _ROTL16 and _ROTR16 on the low 16 bits, _ROTL32 and _ROTR32 on 32, at the
; shifts' precedence; the amount is taken modulo the width.
; words: 2341 4123 2345 8000 C000 3456 4567 0006 FFFA 0001
        ORG     $5000
        DECLE   $1234 _ROTL16 4, $1234 _ROTR16 4, $12345 _ROTL16 0
        DECLE   1 _ROTR16 1, $8001 _ROTL16 -1
        DECLE   ($12345678 _rotl32 8) SHR 16, ($12345678 _ROTR32 4) AND $FFFF
        DECLE   1 + 2 _ROTL16 1, CLASSIFY(_ROTL16), $8000 _ROTL16 17
