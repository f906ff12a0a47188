; A classic-core PIC16 program: a running light on port B, paced by a lookup
; table, with its configuration word at 0x2007.
        list    p=16f84a
        #include <p16f84a.inc>

        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _CP_OFF

count   equ     0x0C

        org     0x000
        goto    start

        org     0x004
isr     retfie

start   bsf     STATUS, RP0
        clrf    TRISB
        bcf     STATUS, RP0
        clrf    count
loop    movf    count, w
        call    pattern
        movwf   PORTB
        incf    count, f
        movlw   0x07
        andwf   count, f
        goto    loop

        org     0x100
pattern addwf   PCL, f
        retlw   b'00000001'
        retlw   b'00000010'
        retlw   b'00000100'
        retlw   b'00001000'
        retlw   b'00010000'
        retlw   b'00100000'
        retlw   b'01000000'
        retlw   b'10000000'

        end
