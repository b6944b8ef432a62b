/* A small ATmega328P program for the loader tests: a sine table in flash, a timer
 * interrupt that steps through it into the PWM compare register, initialised data,
 * and settings in the EEPROM. Built with avr-gcc -mmcu=atmega328p -Os. */
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

/* A quarter of a sine wave, 0..255 over 64 steps. */
static const uint8_t quarter_sine[64] PROGMEM = {
    128, 131, 134, 137, 140, 143, 146, 149, 152, 155, 158, 162, 165, 167, 170, 173,
    176, 179, 182, 185, 188, 190, 193, 196, 198, 201, 203, 206, 208, 211, 213, 215,
    218, 220, 222, 224, 226, 228, 230, 232, 234, 235, 237, 238, 240, 241, 243, 244,
    245, 246, 248, 249, 250, 250, 251, 252, 253, 253, 254, 254, 254, 255, 255, 255,
};

static const char version_text[] PROGMEM = "loader test 1.0";

/* Settings kept in the EEPROM. */
EEMEM uint8_t ee_step = 5;
EEMEM uint16_t ee_boot_count = 0x1234;
EEMEM uint8_t ee_calibration[8] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
EEMEM char ee_owner[] = "KARDO";

/* Initialised data: copied from flash into RAM by the start-up code. */
uint8_t step = 3;
uint16_t blink_period = 500;
char greeting[] = "hello from the AVR";

static volatile uint8_t phase;
static volatile uint16_t ticks;

static uint8_t sine(uint8_t index)
{
    uint8_t quarter = index >> 6;
    uint8_t i = index & 63;
    if (quarter & 1)
        i = 63 - i;
    uint8_t v = pgm_read_byte(&quarter_sine[i]);
    return (quarter & 2) ? (uint8_t)(255 - v) : v;
}

ISR(TIMER0_OVF_vect)
{
    phase += step;
    OCR0A = sine(phase);
    ticks++;
}

static void uart_init(void)
{
    UBRR0H = 0;
    UBRR0L = 103; /* 9600 baud at 16 MHz */
    UCSR0B = _BV(TXEN0);
    UCSR0C = _BV(UCSZ01) | _BV(UCSZ00);
}

static void uart_put(char c)
{
    while (!(UCSR0A & _BV(UDRE0)))
        ;
    UDR0 = c;
}

static void uart_puts(const char *s)
{
    while (*s)
        uart_put(*s++);
}

static void uart_puts_P(const char *s)
{
    char c;
    while ((c = pgm_read_byte(s++)) != 0)
        uart_put(c);
}

int main(void)
{
    uint8_t saved = eeprom_read_byte(&ee_step);
    if (saved != 0xFF)
        step = saved;
    uint16_t boots = eeprom_read_word(&ee_boot_count);
    eeprom_update_word(&ee_boot_count, boots + 1);

    DDRB = _BV(DDB5);
    DDRD = _BV(DDD6);
    TCCR0A = _BV(COM0A1) | _BV(WGM01) | _BV(WGM00);
    TCCR0B = _BV(CS01);
    TIMSK0 = _BV(TOIE0);
    uart_init();
    uart_puts(greeting);
    uart_put(' ');
    uart_puts_P(version_text);
    uart_put('\n');
    sei();

    uint16_t last = 0;
    for (;;) {
        uint16_t now;
        cli();
        now = ticks;
        sei();
        if ((uint16_t)(now - last) >= blink_period) {
            last = now;
            PINB = _BV(PINB5);
        }
    }
}
