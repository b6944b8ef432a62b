; PIC18F452 test program for the loader tests: a high and a low priority interrupt,
; a table read from program memory into PORTB, several configuration settings, all
; eight ID locations, data EEPROM bytes, and a block near the end of the program
; memory. Assembled by gpasm as INHX32.
        list    p=18f452, r=hex
        include "p18f452.inc"
        errorlevel -302     ; the registers used here are all in the access bank

        CONFIG  OSC = HSPLL, OSCS = OFF
        CONFIG  PWRT = ON, BOR = ON, BORV = 42
        CONFIG  WDT = OFF, WDTPS = 16
        CONFIG  CCP2MUX = OFF
        CONFIG  STVR = ON, LVP = OFF, DEBUG = OFF
        CONFIG  CP0 = OFF, CP1 = OFF, CP2 = OFF, CP3 = OFF, CPB = OFF, CPD = OFF
        CONFIG  WRTC = ON, WRTB = OFF, EBTR0 = OFF

        __IDLOCS _IDLOC0, 0x18
        __IDLOCS _IDLOC1, 0xF4
        __IDLOCS _IDLOC2, 0x52
        __IDLOCS _IDLOC3, 0x00
        __IDLOCS _IDLOC4, 0xC0
        __IDLOCS _IDLOC5, 0xDE
        __IDLOCS _IDLOC6, 0x7E
        __IDLOCS _IDLOC7, 0x57

index   equ     0x00                ; access RAM
ticks   equ     0x01

        org     0x0000
        goto    start

        org     0x0008              ; high priority interrupt
        bcf     INTCON, TMR0IF
        incf    ticks, F, ACCESS
        retfie  FAST

        org     0x0018              ; low priority interrupt
        retfie

start   clrf    TRISB, ACCESS
        clrf    index, ACCESS
        movlw   b'10000111'         ; timer 0 on, 16 bits, prescaler 1:256
        movwf   T0CON, ACCESS
        bsf     INTCON, TMR0IE
        bsf     INTCON, GIE

loop    movlw   upper table
        movwf   TBLPTRU, ACCESS
        movlw   high table
        movwf   TBLPTRH, ACCESS
        movlw   low table
        addwf   index, W, ACCESS
        movwf   TBLPTRL, ACCESS
        btfsc   STATUS, C
        incf    TBLPTRH, F, ACCESS
        tblrd*
        movff   TABLAT, PORTB
        rcall   pause
        incf    index, F, ACCESS
        movlw   0x0F
        andwf   index, F, ACCESS
        bra     loop

pause   movf    ticks, W, ACCESS
pause1  cpfseq  ticks, ACCESS
        return
        bra     pause1

table   db      0x01, 0x03, 0x07, 0x0F, 0x1F, 0x3F, 0x7F, 0xFF
        db      0xFE, 0xFC, 0xF8, 0xF0, 0xE0, 0xC0, 0x80, 0x00
        db      "18F452"
        db      0x5A, 0xA5, 0x3C                ; an odd count: gpasm pads the word

        org     0x7FF0              ; a block near the end of the program memory
        db      "end of flash"
        goto    start

        org     0xF00000            ; data EEPROM
        de      0x10, 0x20, 0x30, 0x40
        de      "KARDO", 0
        de      0xFF, 0x00, 0xAA
        end
