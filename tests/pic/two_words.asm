; Two words, 3001 and 3002 at word addresses 0 and 1: the image whose array GHDL once synthesized to
; zeros.
        list    p=16f84a

        org     0x000
        movlw   0x01
        movlw   0x02

        end
