 INCLUDE "x.asm"
 MVO R0, $100
