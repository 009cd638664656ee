/* Runs a command N times (stdin and stdout on /dev/null) and prints the
 * mean wall time of one run in microseconds. Usage: reqtime N COMMAND... */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

static double now_us(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: reqtime N COMMAND [ARG...]\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const double start = now_us();
    for (int i = 0; i < runs; ++i) {
        pid_t pid;
        int status;
        if (posix_spawn(&pid, argv[2], &actions, NULL, argv + 2, environ) != 0) {
            perror("posix_spawn");
            return 1;
        }
        waitpid(pid, &status, 0);
    }
    printf("%.1f\n", (now_us() - start) / runs);
    return 0;
}
