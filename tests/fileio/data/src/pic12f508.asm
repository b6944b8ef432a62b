; PIC12F508 test program for the loader tests: blinks GP0..GP2 through a pattern
; table. A 12-bit part: no data EEPROM, the configuration word at 0xFFF and the ID
; locations at 0x200. The last word, 0x1FF, holds the oscillator calibration and is
; left alone. Assembled by gpasm as INHX8M.
        list    p=12f508, r=hex
        include "p12f508.inc"

        __CONFIG _MCLRE_OFF & _CP_OFF & _WDT_OFF & _IntRC_OSC
        __IDLOCS 0x508C

index   equ     0x07
delay   equ     0x08

        org     0x000
        movwf   OSCCAL              ; the calibration value in W at reset
        movlw   b'11000000'         ; no wake-up on change, no pull-ups, timer 0 from the clock
        option
        movlw   b'00001000'         ; GP0..GP2 outputs
        tris    GPIO
        clrf    index

loop    movf    index, W
        call    pattern
        movwf   GPIO
        call    pause
        incf    index, F
        movlw   0x07
        andwf   index, F
        goto    loop

pause   clrf    delay
pause1  decfsz  delay, F
        goto    pause1
        retlw   0

pattern addwf   PCL, F
        dt      b'001', b'010', b'100', b'010', b'011', b'110', b'101', b'111'

        org     0x1F0               ; a second block just below the calibration word
        dt      "508"
        end
