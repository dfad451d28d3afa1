/* Runs a command and prints its exit status, wall, CPU and peak memory:
 *   peak_rss COMMAND [ARGS...]  ->  "status WALL_S CPU_S MAXRSS_KB" on stderr's last line
 * A process's peak memory counts the process it was forked from until its
 * exec, so the benchmark driver (a Python process several times the size of
 * a plain run) starts the program through this small one. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    fputs("usage: peak_rss COMMAND [ARGS...]\n", stderr);
    return 2;
  }
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double wall =
      (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) * 1e-9;
  const double cpu = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  fprintf(stderr, "\npeak_rss: %d %.6f %.6f %ld\n", code, wall, cpu, usage.ru_maxrss);
  return 0;
}
