/* Runs a command and reports its memory as seen just before it exits, from
 * /proc/PID/smaps_rollup, in KiB: "private_dirty private_clean rss". */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

static long field_kb(const char *text, const char *name)
{
    const char *at = strstr(text, name);
    return at != NULL ? strtol(at + strlen(name), NULL, 10) : 0;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: privmem COMMAND [ARG...]\n");
        return 2;
    }
    pid_t child = fork();
    if (child == 0) {
        ptrace(PTRACE_TRACEME, 0, NULL, NULL);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0); /* stopped at exec */
    ptrace(PTRACE_SETOPTIONS, child, NULL, (void *)PTRACE_O_TRACEEXIT);
    ptrace(PTRACE_CONT, child, NULL, NULL);
    long private_kb = -1, clean_kb = -1, rss_kb = -1;
    while (waitpid(child, &status, 0) == child && !WIFEXITED(status) && !WIFSIGNALED(status)) {
        int signal_to_pass = 0;
        if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            char path[64], text[8192] = {0};
            snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)child);
            FILE *file = fopen(path, "r");
            if (file != NULL) {
                size_t got = fread(text, 1, sizeof text - 1, file);
                text[got] = '\0';
                fclose(file);
                private_kb = field_kb(text, "Private_Dirty:");
                clean_kb = field_kb(text, "Private_Clean:");
                rss_kb = field_kb(text, "\nRss:");
            }
        } else if (WIFSTOPPED(status) && WSTOPSIG(status) != SIGTRAP) {
            signal_to_pass = WSTOPSIG(status);
        }
        ptrace(PTRACE_CONT, child, NULL, (void *)(long)signal_to_pass);
    }
    printf("%ld %ld %ld\n", private_kb, clean_kb, rss_kb);
    return 0;
}
