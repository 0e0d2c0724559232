// Runs at once on several threads give what one run alone gives: every
// end-to-end case of the checker with two regular files, through check() on
// eight threads, round after round; one Instance judged by eight threads at
// once against different solutions; and the report's two runs reading one
// CR LF instance and its solution from pipes, against the same files given
// in memory. Built with ThreadSanitizer in CI.
//
//   threads_test CASES_DIR
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fleetjudge/fleetjudge.h>

#include "report/build.h"
#include "report/report.h"

namespace {

std::string cases_dir;

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Case {
  std::string name, instance, solution, stdout_text;
  int status;
};

TEST(Threads, EightAtOnceGiveTheCheckersVerdictOnEveryCase) {
  std::vector<Case> cases; // those run on the two regular files instance and solution
  DIR *dir = opendir(cases_dir.c_str());
  for (dirent *entry; dir != nullptr && (entry = readdir(dir)) != nullptr;) {
    std::string at = cases_dir + "/" + entry->d_name + "/";
    struct stat instance;
    if (access((at + "args").c_str(), F_OK) != 0 &&
        stat((at + "instance").c_str(), &instance) == 0 && S_ISREG(instance.st_mode))
      cases.push_back({entry->d_name, read_file(at + "instance"), read_file(at + "solution"),
                       read_file(at + "stdout"), std::stoi(read_file(at + "status"))});
  }
  if (dir != nullptr) closedir(dir);
  ASSERT_GE(cases.size(), 50u) << "cases not found in " << cases_dir;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (size_t i = 0; i < 5 * cases.size(); ++i) {
        const Case &c = cases[(i + t * 7) % cases.size()];
        fleetjudge::Verdict v = fleetjudge::check(c.instance, c.solution);
        if (v.status != c.status || v.output != c.stdout_text)
          ADD_FAILURE() << c.name << ": status " << v.status << ", output " << v.output;
      }
    });
  for (std::thread &t : threads) t.join();
}

// One instance read once, shared by eight threads that judge different
// solutions against it, from bytes and from routes in memory.
TEST(Threads, EightJudgeOneInstanceAtOnce) {
  const std::string text = "five\n\nVEHICLE\nNUMBER CAPACITY\n2 10\n\nCUSTOMER\ntitles\n\n"
                           "0 0 0 0 0 32 0\n1 3 4 4 0 50 1\n2 6 8 3 20 30 2\n"
                           "3 6 0 5 0 6 0\n4 0 -8 5 0 100 0\n";
  fleetjudge::Instance instance = fleetjudge::Instance::read(text);
  std::vector<std::vector<fleetjudge::Route>> solutions{
      {{1, 2}, {3, 4}}, {{4, 3, 2, 1}}, {{1}, {1, 9}}, {{2, 1}, {4}, {3}}, {{}, {3, 4, 0}}};
  std::vector<std::string> files{"2 56\n1 2\n3 4\n", "Route 1: 4 3\nRoute 2: 1 2\nCost 40\n",
                                 "x\n"};
  std::vector<std::string> alone;
  for (const auto &routes : solutions)
    alone.push_back(to_json(fleetjudge::judge(instance, routes)));
  for (const std::string &file : files) alone.push_back(to_json(fleetjudge::judge(instance, file)));
  std::vector<std::thread> threads;
  for (size_t t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      fleetjudge::Instance mine = instance; // copies share one read
      for (size_t round = 0; round < 40; ++round) {
        size_t k = (round + t) % alone.size();
        std::string document = k < solutions.size()
                                   ? to_json(fleetjudge::judge(mine, solutions[k]))
                                   : to_json(fleetjudge::judge(mine, files[k - solutions.size()]));
        if (document != alone[k]) ADD_FAILURE() << "thread " << t << ", solution " << k;
      }
    });
  for (std::thread &t : threads) t.join();
}

// Writes `bytes` into a pipe from a thread of its own; the read end is `fd`.
struct PipeFeed {
  int fd = -1;
  std::thread writer;
  explicit PipeFeed(const std::string &bytes) {
    int ends[2];
    if (pipe(ends) != 0) return;
    fd = ends[0];
    writer = std::thread([bytes, out = ends[1]] {
      for (size_t done = 0; done < bytes.size();) {
        ssize_t got = write(out, bytes.data() + done, bytes.size() - done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
      }
      close(out);
    });
  }
  ~PipeFeed() { writer.join(); }
};

// A CR LF instance without blank lines, which the checker reads to its end
// (its carriage returns end tokens it ignores) and the report reads as LF: the
// checker's run goes on into the solution, along with the report's.
TEST(Threads, ACrLfInstanceFromPipesIsJudgedAsFromMemory) {
  std::string instance = "five\r\nVEHICLE\r\nNUMBER CAPACITY\r\n2 10\r\nCUSTOMER\r\n"
                         "0 0 0 0 0 32 0\r\n1 3 4 4 0 50 1\r\n2 6 8 3 20 30 2\r\n"
                         "3 6 0 5 0 6 0\r\n4 0 -8 5 0 100 0\r\n";
  // Many lines after the routes: both runs read the solution in many chunks.
  std::string solution = "2 56\n1 2\n3 4\n" + std::string(1 << 20, '\n');
  ASSERT_EQ(fleetjudge::check(instance, solution).output, "OK\n");
  std::string expected = fleetjudge::report_json(instance, solution);
  ASSERT_NE(expected.find("\"verdict\":{\"status\":0,\"message\":\"OK\\n\"}"), std::string::npos);

  PipeFeed instance_pipe(instance), solution_pipe(solution);
  Inputs in;
  in.guess = true;
  use_descriptor(in.instance, "instance", "instance", instance_pipe.fd, true);
  use_descriptor(in.solution, "solution", "solution", solution_pipe.fd, true);
  ReportRun rep(true);
  judge(rep, in, false);
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  write_json(build_report(rep, Files{nullptr, nullptr}), out);
  std::fclose(out);
  EXPECT_EQ(std::string(text, size), expected);
  std::free(text);
}

} // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) cases_dir = argv[1];
  return RUN_ALL_TESTS();
}
