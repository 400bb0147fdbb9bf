/* An agent in C as a first try from docs/agent-protocol.md: it answers every line, keeping on
   its way (action 0), but does not flush its standard output unless built with -DFLUSH. Into a
   pipe the C library holds its lines until its buffer fills, so without the flush the hello is
   never answered. */
#include <stdio.h>
#include <string.h>

int main(void) {
    static char line[1 << 20];
    while (fgets(line, sizeof line, stdin) != NULL) {
        if (strstr(line, "\"type\":\"hello\"") != NULL) {
            printf("{\"name\":\"c agent\"}\n");
        } else if (strstr(line, "\"type\":\"decide\"") != NULL) {
            printf("{\"action\":0}\n");
        } else {
            continue;
        }
#ifdef FLUSH
        fflush(stdout);
#endif
    }
    return 0;
}
