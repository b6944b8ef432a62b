; PIC16F628A test program for the loader tests: sends a greeting from a table over
; the UART, reading the message length and a baud rate divisor from the data
; EEPROM. The message table sits in its own block at 0x300, reached through PCLATH.
; Assembled by gpasm as INHX8M.
        list    p=16f628a, r=hex
        include "p16f628a.inc"
        errorlevel -302     ; the bank bits are set by hand below

        __CONFIG _CP_OFF & _CPD_OFF & _LVP_OFF & _BOREN_ON & _MCLRE_OFF & _WDT_OFF & _PWRTE_ON & _INTOSC_OSC_NOCLKOUT
        __IDLOCS 0x628A

index   equ     0x20
length  equ     0x21
temp    equ     0x22

        org     0x000
        goto    start
        nop
        nop
        nop
        org     0x004
        retfie

start   movlw   0x07
        movwf   CMCON               ; comparators off, PORTA digital
        movlw   0x01                ; EEPROM byte 1: baud rate divisor
        call    ee_read
        bsf     STATUS, RP0
        movwf   SPBRG
        movlw   (1 << TXEN) | (1 << BRGH)
        movwf   TXSTA
        bcf     STATUS, RP0
        movlw   (1 << SPEN)
        movwf   RCSTA
        movlw   0x00                ; EEPROM byte 0: message length
        call    ee_read
        movwf   length

again   clrf    index
send    movf    index, W
        call    message
        call    put
        incf    index, F
        movf    length, W
        subwf   index, W
        btfss   STATUS, Z
        goto    send
        goto    again

put     movwf   temp
        bsf     STATUS, RP0
wait    btfss   TXSTA, TRMT
        goto    wait
        bcf     STATUS, RP0
        movf    temp, W
        movwf   TXREG
        return

ee_read bsf     STATUS, RP0
        movwf   EEADR
        bsf     EECON1, RD
        movf    EEDATA, W
        bcf     STATUS, RP0
        return

message movwf   temp
        movlw   high message_table
        movwf   PCLATH
        movf    temp, W
        addlw   low message_table
        btfsc   STATUS, C
        incf    PCLATH, F
        movwf   PCL

        org     0x300
message_table
        dt      "Hello from the PIC16F628A", 0x0D, 0x0A

        org     0x7FF               ; the last word of the program memory
        goto    start

        org     0x2100              ; data EEPROM, in one run (gpasm 1.4.0 misplaces a
                                    ; further org in this region)
        de      .27                 ; message length
        de      .25                 ; 9600 baud at 4 MHz with BRGH set
        de      0xC3, 0x3C, 0x81, 0x7E
        de      "628A"
        end
