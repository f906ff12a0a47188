// An 8051 program: a running light on port 1, paced by timer 0's interrupt.
#include <8051.h>

static const unsigned char pattern[] = {1, 2, 4, 8, 16, 32, 64, 128, 64, 32, 16};
static volatile unsigned char ticks;

void timer0(void) __interrupt(1) { ++ticks; }

void main(void) {
    unsigned char step = 0;
    TMOD = 1, ET0 = 1, EA = 1, TR0 = 1;
    for (;;) {
        while (ticks < 4) {}
        ticks = 0;
        P1 = pattern[step];
        step = step + 1 == sizeof pattern ? 0 : step + 1;
    }
}
