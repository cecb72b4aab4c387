/* Preloaded into the real systemd-timedated in tests: every call that would
 * move the clock is written to $VINTREL_CLOCK_SHIM_LOG and reported as done,
 * and the clock is left alone. Each line holds the call, the time asked for
 * (seconds.nanoseconds, or "-") and CLOCK_REALTIME when the call came. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/timex.h>
#include <time.h>
#include <unistd.h>

static void record(const char* call, long long sec, long nsec, int has_time) {
    const char* path = getenv("VINTREL_CLOCK_SHIM_LOG");
    if (path == NULL) return;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    FILE* log = fopen(path, "a");
    if (log == NULL) return;
    if (has_time) {
        fprintf(log, "%s %lld.%09ld %lld.%09ld\n", call, sec, nsec, (long long)now.tv_sec,
                now.tv_nsec);
    } else {
        fprintf(log, "%s - %lld.%09ld\n", call, (long long)now.tv_sec, now.tv_nsec);
    }
    fclose(log);
}

int clock_settime(clockid_t clock, const struct timespec* ts) {
    (void)clock;
    record("clock_settime", (long long)ts->tv_sec, ts->tv_nsec, 1);
    return 0;
}

int settimeofday(const struct timeval* tv, const struct timezone* tz) {
    (void)tz;
    if (tv == NULL) {
        record("settimeofday", 0, 0, 0);
    } else {
        record("settimeofday", (long long)tv->tv_sec, tv->tv_usec * 1000L, 1);
    }
    return 0;
}

/* A query (no mode bits) moves nothing and reaches the kernel. */
int adjtimex(struct timex* tx) {
    if (tx->modes == 0) return (int)syscall(SYS_adjtimex, tx);
    record("adjtimex", 0, 0, 0);
    return TIME_OK;
}

int clock_adjtime(clockid_t clock, struct timex* tx) {
    if (tx->modes == 0) return (int)syscall(SYS_clock_adjtime, clock, tx);
    record("clock_adjtime", 0, 0, 0);
    return TIME_OK;
}
