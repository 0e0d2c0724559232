#include "pairs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ends_with(const std::string &name, const char *suffix) {
  size_t n = std::strlen(suffix);
  return name.size() >= n && lower(name.substr(name.size() - n)) == suffix;
}

std::string join(const std::string &dir, const std::string &name) {
  if (dir.empty() || name.empty() || name[0] == '/') return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool list_folder(const char *dir, std::vector<std::string> &names, std::string &problem) {
  DIR *d = opendir(dir);
  if (d == nullptr) {
    problem = std::string("cannot read the folder ") + dir + ": " + std::strerror(errno);
    return false;
  }
  errno = 0;
  while (const dirent *e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names.emplace_back(e->d_name);
    errno = 0;
  }
  int error = errno;
  closedir(d);
  if (error != 0) {
    problem = std::string("cannot read the folder ") + dir + ": " + std::strerror(error);
    return false;
  }
  std::sort(names.begin(), names.end()); // bytes compare as unsigned char
  return true;
}

bool same_folder(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool blank(const std::string &line) { return line.find_first_not_of(" \t") == std::string::npos; }

} // namespace

bool read_all(int fd, std::string &text) {
  char chunk[1 << 16];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    text.append(chunk, static_cast<size_t>(got));
  }
}

std::string lower(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string stem(const std::string &path) {
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool pairs_from_folders(const char *instance_dir, const char *solution_dir, PairList &list,
                        std::string &problem) {
  std::vector<std::string> instance_names, solution_names;
  if (!list_folder(instance_dir, instance_names, problem) ||
      !list_folder(solution_dir, solution_names, problem))
    return false;
  bool one_folder = same_folder(instance_dir, solution_dir);

  std::map<std::string, std::vector<std::string>> instances; // by stem in lower case
  for (const std::string &name : instance_names)
    if (ends_with(name, ".txt") || ends_with(name, ".vrp"))
      instances[lower(stem(name))].push_back(name);

  std::map<std::string, bool> solved; // stems that have a solution
  for (const std::string &name : solution_names) {
    bool solution = ends_with(name, ".sol") || ends_with(name, ".routes") ||
                    (!one_folder && ends_with(name, ".txt"));
    if (!solution) continue;
    Pair p;
    p.solution = p.solution_open = join(solution_dir, name);
    p.key = lower(stem(name));
    solved[p.key] = true;
    auto found = instances.find(p.key);
    if (found == instances.end()) {
      p.error = "no instance " + stem(name) + ".txt or " + stem(name) + ".vrp in " + instance_dir;
    } else if (found->second.size() > 1) {
      p.error = "more than one instance: " + join(instance_dir, found->second[0]);
      for (size_t i = 1; i < found->second.size(); ++i)
        p.error +=
            (i + 1 < found->second.size() ? ", " : " and ") + join(instance_dir, found->second[i]);
    } else {
      p.instance = p.instance_open = join(instance_dir, found->second[0]);
    }
    list.pairs.push_back(std::move(p));
  }
  for (const auto &[key, names] : instances)
    if (!solved.count(key)) list.unpaired_instances += static_cast<int64_t>(names.size());
  if (list.pairs.empty()) {
    problem = std::string("no solution (.sol, .routes") + (one_folder ? "" : ", .txt") +
              ") in the folder " + solution_dir;
    return false;
  }
  return true;
}

bool read_file(const char *path, std::string &text, bool &marked) {
  bool from_stdin = std::strcmp(path, "-") == 0;
  int fd = from_stdin ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
  bool read_ok = fd >= 0 && read_all(fd, text);
  int error = errno;
  if (fd >= 0 && !from_stdin) close(fd);
  errno = error;
  marked = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (marked) text.erase(0, 3);
  return read_ok;
}

std::string mark_note(const char *what, const char *path) {
  return std::string(what) + " " + (std::strcmp(path, "-") == 0 ? "on standard input" : path) +
         " begins with a byte-order mark (EF BB BF), skipped";
}

bool pairs_from_list(const char *path, PairList &list, std::string &problem) {
  bool from_stdin = std::strcmp(path, "-") == 0;
  std::string text;
  bool marked;
  if (!read_file(path, text, marked)) {
    problem = std::string("cannot read the pair list ") + path + ": " + std::strerror(errno);
    return false;
  }
  if (marked) list.notes.push_back(mark_note("the pair list", path));
  std::string base = from_stdin ? "" : std::string(path);
  size_t slash = base.rfind('/');
  base = slash == std::string::npos ? "" : base.substr(0, slash + 1);
  const char *name = from_stdin ? "standard input" : path;

  size_t start = 0;
  for (int64_t number = 1; start < text.size(); ++number) {
    size_t feed = text.find('\n', start);
    if (feed == std::string::npos) feed = text.size();
    std::string line = text.substr(start, feed - start);
    start = feed + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back(); // a list saved with CR LF
    if (blank(line) || line[0] == '#') continue;
    Pair p;
    std::string where = "line " + std::to_string(number) + " of " + name;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      p.solution = line;
      p.error = where + " has no tab between the instance and the solution";
    } else {
      p.instance = line.substr(0, tab);
      p.solution = line.substr(tab + 1);
      if (p.instance.empty() || p.solution.empty())
        p.error = where + (p.instance.empty() ? " names no instance" : " names no solution");
      p.instance_open = join(base, p.instance);
      p.solution_open = join(base, p.solution);
      p.key = lower(stem(p.instance));
    }
    list.pairs.push_back(std::move(p));
  }
  if (list.pairs.empty()) {
    problem = std::string("no pair in the list ") + name;
    return false;
  }
  return true;
}
