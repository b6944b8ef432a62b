/* A small ATmega8 program for the device operation tests: a running light on port B
 * from a table in flash, stepped by timer 0's overflow interrupt. Built with
 * avr-gcc -mmcu=atmega8 -Os. */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

static const uint8_t pattern[16] PROGMEM = {
    0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80,
    0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00,
};

static volatile uint8_t position;

ISR(TIMER0_OVF_vect) {
    PORTB = pgm_read_byte(&pattern[position]);
    position = (uint8_t)((position + 1) & 0x0F);
}

int main(void) {
    DDRB = 0xFF;
    TCCR0 = (1 << CS02) | (1 << CS00); /* clock / 1024 */
    TIMSK = (1 << TOIE0);
    sei();
    for (;;) {
    }
}
