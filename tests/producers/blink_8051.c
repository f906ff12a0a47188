// An 8051 program: a running light on port 1, paced by a table, with a timer interrupt.
#include <8051.h>

static const unsigned char pattern[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x40, 0x20, 0x10};
static volatile unsigned char ticks;

void timer0(void) __interrupt(1) {
    ++ticks;
}

void main(void) {
    unsigned char step = 0;
    TMOD = 0x01;
    ET0 = 1;
    EA = 1;
    TR0 = 1;
    for (;;) {
        while (ticks < 4) {
        }
        ticks = 0;
        P1 = pattern[step];
        step = step + 1 == sizeof pattern ? 0 : step + 1;
    }
}
