// A big-endian ARM program: it sums a table of words into a counter that a port shows.
static const unsigned steps[] = {0x01020304, 0x10203040, 0xCAFEF00D, 0x7F000001};

void _start(void) {
    volatile unsigned* const port = (volatile unsigned*)0x40000000;
    for (unsigned counter = 0;;) {
        for (unsigned i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
            *port = counter += steps[i];
        }
    }
}
