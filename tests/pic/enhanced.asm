; An enhanced-core PIC16 program: it copies EEPROM bytes to port B. Its
; configuration words (0x8007, 0x8008) and EEPROM data (0xF000) lie above the
; first 64 KiB of the HEX file, outside the program memory.
        list    p=16f1827
        #include <p16f1827.inc>

        __config _CONFIG1, _FOSC_INTOSC & _WDTE_OFF & _MCLRE_ON
        __config _CONFIG2, _LVP_OFF

        org     0x000
        goto    start

        org     0x004
isr     retfie

start   banksel TRISB
        clrf    TRISB
        banksel EEADRL
        clrf    EEADRL
loop    bcf     EECON1, CFGS
        bcf     EECON1, EEPGD
        bsf     EECON1, RD
        movf    EEDATL, w
        banksel LATB
        movwf   LATB
        banksel EEADRL
        incf    EEADRL, f
        movlw   0x03
        andwf   EEADRL, f
        bra     loop

        org     0xF000
        de      0x11, 0x22, 0x44, 0x88

        end
