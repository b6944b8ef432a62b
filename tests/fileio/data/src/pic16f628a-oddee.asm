; PIC16F628A test data for the loader tests: data EEPROM bytes from 0x2100, then one
; more after an org inside the EEPROM area. gpasm counts such an org in bytes of two
; per EEPROM byte, so the last de starts at an odd byte address of the INHX8M file:
; its record is ":01427F0099". Assembled by gpasm as INHX8M.
        list    p=16f628a, r=hex
        include "p16f628a.inc"

        __CONFIG _CP_OFF & _LVP_OFF & _WDT_OFF & _INTOSC_OSC_NOCLKOUT
        __IDLOCS 0x628A

        org     0x000
start   goto    start

        org     0x2100
        de      0x01, 0x02, 0x03
        org     0x217F
        de      0x99

        end
