/* An executable that only carries the version resource linked beside it. */
int main(void) { return 0; }
