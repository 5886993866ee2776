/* Starts one command for the benchmark and prints what it cost:
 *   torvex-bench-spawn COMMAND [ARG...]
 * prints "WALL_NS CPU_US PEAK_KIB STATUS" on standard output; the command's
 * own output goes to /dev/null.
 *
 * Linux counts the memory a process had when it called exec in the peak of
 * the program it became, so a child forked from the benchmark (which links
 * the whole engine) would never read below the benchmark's own peak. This
 * starter is a few pages of C: a child forked from it starts from almost
 * nothing, and its peak is the command's own. The starter's resident size
 * when it forks, which is that floor, is the fifth figure (its own peak would
 * not do: it holds the peak of whatever started it). */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs("usage: torvex-bench-spawn COMMAND [ARG...]\n", stderr);
        return 2;
    }
    long pages = 0, resident = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm) {
        if (fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        fclose(statm);
    }
    long floorKiB = resident * (sysconf(_SC_PAGESIZE) / 1024);
    struct timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage used;
    if (wait4(pid, &status, 0, &used) < 0) return 1;
    clock_gettime(CLOCK_MONOTONIC, &t1);
    long long wall = (long long)(t1.tv_sec - t0.tv_sec) * 1000000000LL + (t1.tv_nsec - t0.tv_nsec);
    long long cpu = (long long)(used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1000000LL + used.ru_utime.tv_usec +
                    used.ru_stime.tv_usec;
    printf("%lld %lld %ld %d %ld\n", wall, cpu, used.ru_maxrss, status, floorKiB);
    return 0;
}
