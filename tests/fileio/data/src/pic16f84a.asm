; PIC16F84A test program for the loader tests: a running light on PORTB driven by
; a pattern table, a timer 0 interrupt that saves and restores the context, and a
; routine that reads the pattern count from the data EEPROM. Assembled by gpasm as
; INHX8M and as INHX16 from this one source.
        list    p=16f84a, r=hex
        include "p16f84a.inc"
        errorlevel -302     ; the bank bits are set by hand below

        __CONFIG _CP_OFF & _PWRTE_ON & _WDT_OFF & _HS_OSC  ; 0x3FF2
        __IDLOCS 0x5A3C

w_save      equ 0x0C
status_save equ 0x0D
index       equ 0x0E
count       equ 0x0F
delay_hi    equ 0x10
delay_lo    equ 0x11

        org     0x000
        goto    start

        org     0x004
isr     movwf   w_save
        swapf   STATUS, W
        movwf   status_save
        bcf     INTCON, T0IF
        incf    delay_hi, F
        swapf   status_save, W
        movwf   STATUS
        swapf   w_save, F
        swapf   w_save, W
        retfie

start   bsf     STATUS, RP0
        clrf    TRISB
        movlw   b'00000111'         ; timer 0 from the clock, prescaler 1:256
        movwf   OPTION_REG
        bcf     STATUS, RP0
        clrf    PORTB
        clrf    index
        movlw   0x00                ; EEPROM byte 0: how many patterns to show
        call    ee_read
        movwf   count
        movlw   (1 << T0IE) | (1 << GIE)
        movwf   INTCON

loop    movf    index, W
        call    pattern
        movwf   PORTB
        call    delay
        incf    index, F
        movf    count, W
        subwf   index, W
        btfsc   STATUS, Z
        clrf    index
        goto    loop

delay   movlw   0xFF
        movwf   delay_lo
delay1  decfsz  delay_lo, F
        goto    delay1
        return

ee_read bcf     STATUS, RP0
        movwf   EEADR
        bsf     STATUS, RP0
        bsf     EECON1, RD
        bcf     STATUS, RP0
        movf    EEDATA, W
        return

pattern addwf   PCL, F
        dt      0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80
        dt      0x81, 0x42, 0x24, 0x18, 0x3C, 0x7E, 0xFF, 0x00

        org     0x3F0               ; a second block near the end of the memory
signature
        dt      "F84A"

        org     0x2100              ; data EEPROM, in one run (gpasm 1.4.0 misplaces a
                                    ; further org in this region)
        de      0x10                ; pattern count
        de      0x5A, 0xA5, 0x00, 0xFF
        de      "KARDO", 0
        end
