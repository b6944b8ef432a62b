/* An ATmega328P program for the ELF reader tests: code, an initialised variable in
 * .data (loaded after .text), EEPROM data, all three fuse bytes, the lock byte and the
 * part's signature (which the reader leaves out: it is there to check, not to program).
 * Built with avr-gcc -mmcu=atmega328p -Os. */
#include <avr/eeprom.h>
#include <avr/fuse.h>
#include <avr/io.h>
#include <avr/lock.h>
#include <avr/signature.h>
#include <stdint.h>

/* A full-swing crystal, no clock division; brown-out at 2.7 V. */
FUSES = {
    .low = (FUSE_CKSEL0 & FUSE_CKSEL1 & FUSE_CKSEL3 & FUSE_SUT0),
    .high = (FUSE_SPIEN & FUSE_EESAVE & FUSE_BOOTSZ0 & FUSE_BOOTSZ1),
    .extended = (FUSE_BODLEVEL0 & FUSE_BODLEVEL2),
};

/* No further programming or verification over the programming interface. */
LOCKBITS = LB_MODE_3;

static uint8_t EEMEM stored_steps[8] = {3, 1, 4, 1, 5, 9, 2, 6};
static uint16_t EEMEM stored_delay = 0xBEEF;

static volatile uint8_t steps[8] = {0x11, 0x22, 0x44, 0x88, 0x44, 0x22, 0x11, 0x00};

static void wait(uint16_t n) {
    while (n--)
        __asm__ __volatile__("nop");
}

int main(void) {
    uint8_t i;
    uint16_t delay = eeprom_read_word(&stored_delay);
    DDRB = 0xFF;
    for (i = 0; i < 8; i++)
        steps[i] ^= eeprom_read_byte(&stored_steps[i]);
    for (;;) {
        for (i = 0; i < 8; i++) {
            PORTB = steps[i];
            wait(delay);
        }
    }
}
