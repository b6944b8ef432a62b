/* A few bytes of code for the computer the tests run on: an ELF for a machine that is
 * no microcontroller. */
int scaled(int x) {
    return 3 * x + 1;
}
