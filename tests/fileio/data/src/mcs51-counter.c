/* A small 8051 program for the loader tests: a seven-segment table and a message in
 * code memory, a timer 0 interrupt counting time, a serial port interrupt echoing
 * characters, and a CRC over the table. Built with sdcc -mmcs51. */
#include <8051.h>
#include <stdint.h>

static __code const uint8_t segments[16] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
    0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71,
};

static __code const char banner[] = "8051 loader test, counting in hex\r\n";

static volatile uint16_t milliseconds;
static volatile uint8_t received;
static volatile __bit have_char;
static uint8_t digit_index;
static uint16_t counter = 0x1234;

void timer0_isr(void) __interrupt(1)
{
    TH0 = 0xFC; /* 1 ms at 12 MHz */
    TL0 = 0x18;
    milliseconds++;
}

void serial_isr(void) __interrupt(4)
{
    if (RI) {
        RI = 0;
        received = SBUF;
        have_char = 1;
    }
    if (TI)
        TI = 0;
}

static void put_char(char c)
{
    ES = 0;
    SBUF = c;
    while (!TI)
        ;
    TI = 0;
    ES = 1;
}

static void put_text(__code const char *s)
{
    while (*s)
        put_char(*s++);
}

static void put_hex(uint16_t v)
{
    int8_t shift;
    for (shift = 12; shift >= 0; shift -= 4)
        put_char("0123456789ABCDEF"[(v >> shift) & 0x0F]);
}

static uint16_t crc16(__code const uint8_t *p, uint8_t n)
{
    uint16_t crc = 0xFFFF;
    while (n--) {
        uint8_t i;
        crc ^= (uint16_t)(*p++) << 8;
        for (i = 0; i < 8; i++)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    }
    return crc;
}

static void show_digit(void)
{
    uint8_t nibble = (counter >> (digit_index * 4)) & 0x0F;
    P2 = ~(1 << digit_index);
    P1 = segments[nibble];
    digit_index = (digit_index + 1) & 3;
}

void main(void)
{
    uint16_t last = 0;

    TMOD = 0x21; /* timer 1 mode 2 for the baud rate, timer 0 mode 1 */
    TH1 = 0xFD;  /* 9600 baud at 11.0592 MHz */
    SCON = 0x50;
    TR1 = 1;
    TH0 = 0xFC;
    TL0 = 0x18;
    ET0 = 1;
    TR0 = 1;
    ES = 1;
    EA = 1;

    put_text(banner);
    put_hex(crc16(segments, sizeof segments));
    put_char('\r');
    put_char('\n');

    for (;;) {
        uint16_t now;
        EA = 0;
        now = milliseconds;
        EA = 1;
        if ((uint16_t)(now - last) >= 250) {
            last = now;
            counter++;
        }
        show_digit();
        if (have_char) {
            have_char = 0;
            put_char(received);
            if (received == '0')
                counter = 0;
        }
    }
}
