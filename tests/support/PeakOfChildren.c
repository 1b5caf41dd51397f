/* Runs `sh -c COMMAND` and writes the peak resident memory of the processes it ran, in
 * kilobytes, then its exit status, into REPORT: "KILOBYTES STATUS". The command's own output
 * goes where this program's goes. A process starts with the memory
 * figure of the one it was forked from, so a large test program (under the sanitizers above
 * all) would count itself into what it measures; forked from this small program instead,
 * the command's processes count only their own. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: morvane_peak_of_children REPORT COMMAND\n");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", argv[2], (char*)NULL);
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return 1;
    struct rusage usage;
    if (getrusage(RUSAGE_CHILDREN, &usage) != 0)
        return 1;
    FILE* report = fopen(argv[1], "w");
    if (!report)
        return 1;
    fprintf(report, "%ld %d\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return fclose(report) == 0 ? 0 : 1;
}
