// Times several commands side by side, alternating between them.
//
//   timeit REPS BATCH CMD1 [ARGS...] [:: CMD2 [ARGS...]]...
//
// Each repetition runs CMD1 BATCH times in a row, then CMD2 BATCH times, and so
// on, so that a load that comes and goes (another job on the machine) hits all
// commands alike. Standard output and error go to /dev/null. One sample is the
// wall time of a batch divided by BATCH; batches keep the clock's resolution
// and the process start-up noise small against commands that last a
// millisecond. For each command, one line on standard output:
//
//   <median ms> <min ms> <median cpu ms (user+sys)> <exit status>
//
// The exit status is that of the first run; a later run with another status
// makes the whole measurement fail (status 2).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char **environ;

namespace {

struct Command {
  std::vector<char *> argv;
  std::vector<double> wall, cpu;
  int status = -1;
};

double now_ms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ms(const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Runs the command once; returns its exit status and adds its CPU time.
int run_once(Command &c, double &cpu_ms) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  int e = posix_spawnp(&pid, c.argv[0], &actions, nullptr, c.argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (e != 0) {
    std::fprintf(stderr, "timeit: cannot run %s: %s\n", c.argv[0], std::strerror(e));
    std::exit(2);
  }
  int status;
  rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) {
    std::perror("timeit: wait4");
    std::exit(2);
  }
  cpu_ms += ms(usage.ru_utime) + ms(usage.ru_stime);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fputs("usage: timeit REPS BATCH CMD1 [ARGS...] [:: CMD2 [ARGS...]]...\n", stderr);
    return 2;
  }
  int reps = std::atoi(argv[1]);
  int batch = std::atoi(argv[2]);
  if (reps < 1 || batch < 1) {
    std::fputs("timeit: REPS and BATCH must be positive\n", stderr);
    return 2;
  }
  std::vector<Command> commands(1);
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "::") == 0)
      commands.emplace_back();
    else
      commands.back().argv.push_back(argv[i]);
  }
  for (auto &c : commands) {
    if (c.argv.empty()) {
      std::fputs("timeit: empty command\n", stderr);
      return 2;
    }
    c.argv.push_back(nullptr);
  }

  for (int r = 0; r < reps; ++r) {
    for (auto &c : commands) {
      double cpu = 0;
      double start = now_ms();
      for (int b = 0; b < batch; ++b) {
        int status = run_once(c, cpu);
        if (c.status == -1) c.status = status;
        if (status != c.status) {
          std::fprintf(stderr, "timeit: %s exited with %d, earlier with %d\n", c.argv[0], status,
                       c.status);
          return 2;
        }
      }
      c.wall.push_back((now_ms() - start) / batch);
      c.cpu.push_back(cpu / batch);
    }
  }
  for (const auto &c : commands)
    std::printf("%.3f %.3f %.3f %d\n", median(c.wall),
                *std::min_element(c.wall.begin(), c.wall.end()), median(c.cpu), c.status);
  return 0;
}
