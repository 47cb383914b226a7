/* Preloaded into a benchmarked process: at exit, appends the process's resident and private
 * dirty memory (kB, from /proc/self/smaps_rollup) to the file named by KESTREL_MEMORY_REPORT.
 * Peak RSS (and even Private_Clean) counts the read-only pages of a mapped store, which stay
 * in the page cache for every process; private dirty memory is what the process costs. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

__attribute__((destructor)) static void report(void) {
    const char* target = getenv("KESTREL_MEMORY_REPORT");
    FILE* in = fopen("/proc/self/smaps_rollup", "r");
    if (target == NULL || in == NULL) return;
    long rss = 0, privateDirty = 0, value = 0;
    char line[256];
    while (fgets(line, sizeof line, in) != NULL) {
        if (sscanf(line, "Rss: %ld", &value) == 1) rss = value;
        if (sscanf(line, "Private_Dirty: %ld", &value) == 1) privateDirty = value;
    }
    fclose(in);
    FILE* out = fopen(target, "a");
    if (out == NULL) return;
    fprintf(out, "%ld %ld\n", rss, privateDirty);
    fclose(out);
}
