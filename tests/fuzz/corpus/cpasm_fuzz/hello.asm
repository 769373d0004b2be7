; hello.asm: a small Intellivision program that writes HELLO on the screen.
; Build it with F7 once the assembler's path is set in Tools, Options.

        ROMW    16
        ORG     $5000

        INCLUDE "hello.inc"

; Cartridge header: where the program starts and what the title screen shows.
        BIDECLE ZERO            ; sound, motion and graphics tables (none)
        BIDECLE ZERO
        BIDECLE MAIN            ; start of the program
        BIDECLE ZERO
        BIDECLE ONES
        BIDECLE TITLE
        DECLE   $03C0           ; run the title screen, then MAIN
ZERO:   DECLE   $0000
ONES:   DECLE   $0001, $0000

TITLE:  DECLE   107
        STRING  "HELLO", 0

MAIN:   PROC
        MVII    #MESSAGE, R4    ; R4 walks the text
        MVII    #SCREEN, R5     ; R5 walks the screen
@@next: MVI@    R4, R0          ; next character
        TSTR    R0
        BEQ     @@done          ; a zero ends the text
        SUBI    #32, R0         ; ASCII to a card number
        SLL     R0, 2
        SLL     R0, 1
        ADDI    #COLOUR, R0
        MVO@    R0, R5
        B       @@next
@@done: DECR    PC              ; stay here
        ENDP

MESSAGE: STRING "HELLO", 0
