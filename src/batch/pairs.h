// Which solution goes with which instance: found in two folders by the
// files' stems, or read from a list of pairs.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct Pair {
  std::string name;                         // the instance's stem (the solution's without one)
  std::string run;                          // the solution folder as given, with several
  int run_index = 0;                        // its place on the command line
  std::string instance, solution;           // the paths as given or found
  std::string instance_open, solution_open; // where to open them
  std::string key;   // the instance's stem in lower case: its best-known solution's key
  std::string error; // why the pair cannot be judged; empty when it can
};

struct PairList {
  std::vector<Pair> pairs;
  int64_t unpaired_instances = 0;          // instances no solution goes with
  std::map<std::string, size_t> instances; // found in the folders, by key
  std::set<std::string> solved;            // keys that some solution has
  std::vector<std::string> notes;          // how the list was read
};

// Every solution in `solution_dir` (.sol, .routes, .txt; only .sol and
// .routes when the two folders are one) with the instance of the same stem
// in `instance_dir` (.txt, .vrp), compared case-insensitively, in the byte
// order of the solutions' names. `recursive`: the sub-folders of both too; a
// solution goes with the instance of its stem in the same relative folder,
// else with the only one of that stem anywhere. The pairs are added to
// `list`; `run` names them. False, with `problem`, when a folder cannot be
// read or holds no solution.
bool pairs_from_folders(const char *instance_dir, const char *solution_dir, bool recursive,
                        const std::string &run, int run_index, PairList &list,
                        std::string &problem);

// One pair a line, "instance<TAB>solution"; relative paths are taken from the
// list's folder; "#" starts a comment line; "-" is standard input. A line that
// is not a pair becomes a pair with an error. False, with `problem`, when the
// list cannot be read or holds no pair.
bool pairs_from_list(const char *path, PairList &list, std::string &problem);

// The whole of a descriptor; false, with errno, on a read error.
bool read_all(int fd, std::string &text);
// The whole of a file ("-": standard input), without the byte-order mark
// (EF BB BF) an editor may have put at its start: `marked` says whether it
// had one. False, with errno, when it cannot be read.
bool read_file(const char *path, std::string &text, bool &marked);
// The note for a file whose byte-order mark was skipped.
std::string mark_note(const char *what, const char *path);
// ASCII letters in lower case, every other byte as it is.
std::string lower(std::string text);
// A file name without its folder and its last extension.
std::string stem(const std::string &path);
