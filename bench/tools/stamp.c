// stamp FILE: the program that a launch button starts in the benchmark. Its
// first act is to read the monotonic clock; it then writes the time in
// nanoseconds to FILE (through a rename, so a reader never sees half of it).
// Linked statically, so that little runs between exec and main.
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    if (argc != 2) return 2;
    char text[32], tmp[4096];
    const int n =
        snprintf(text, sizeof text, "%lld\n", (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec);
    if (snprintf(tmp, sizeof tmp, "%s.part", argv[1]) >= (int)sizeof tmp) return 2;
    const int fd = open(tmp, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    const int ok = write(fd, text, n) == n;
    close(fd);
    return ok && rename(tmp, argv[1]) == 0 ? 0 : 1;
}
