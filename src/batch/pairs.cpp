#include "pairs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
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

namespace {

// The files of `dir` by their path relative to it; the sub-folders' too when
// `recursive`, each folder once however links lead back to it.
bool list_tree(const std::string &dir, const std::string &relative, bool recursive,
               std::set<std::pair<dev_t, ino_t>> &seen, std::vector<std::string> &files,
               std::string &problem) {
  std::string here = relative.empty() ? dir : join(dir, relative);
  struct stat st;
  if (stat(here.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) return true;
  std::vector<std::string> names;
  if (!list_folder(here.c_str(), names, problem)) return false;
  for (const std::string &name : names) {
    std::string path = relative.empty() ? name : relative + "/" + name;
    struct stat entry;
    bool folder = recursive && stat(join(dir, path).c_str(), &entry) == 0 && S_ISDIR(entry.st_mode);
    if (!folder)
      files.push_back(path);
    else if (!list_tree(dir, path, recursive, seen, files, problem))
      return false;
  }
  return true;
}

std::string folder_of(const std::string &relative) {
  size_t slash = relative.rfind('/');
  return slash == std::string::npos ? "" : relative.substr(0, slash);
}

std::string named(const std::string &dir, const std::vector<std::string> &paths) {
  std::string text;
  for (size_t i = 0; i < paths.size(); ++i)
    text += (i == 0 ? "" : i + 1 < paths.size() ? ", " : " and ") + join(dir, paths[i]);
  return text;
}

} // namespace

bool pairs_from_folders(const char *instance_dir, const char *solution_dir, bool recursive,
                        const std::string &run, int run_index, PairList &list,
                        std::string &problem) {
  std::vector<std::string> instance_files, solution_files;
  std::set<std::pair<dev_t, ino_t>> seen_i, seen_s;
  if (!list_tree(instance_dir, "", recursive, seen_i, instance_files, problem) ||
      !list_tree(solution_dir, "", recursive, seen_s, solution_files, problem))
    return false;
  bool one_folder = same_folder(instance_dir, solution_dir);

  // By stem in lower case: every instance of that stem, and those in each folder.
  std::map<std::string, std::vector<std::string>> instances;
  std::map<std::pair<std::string, std::string>, std::vector<std::string>> in_folder;
  for (const std::string &path : instance_files)
    if (ends_with(path, ".txt") || ends_with(path, ".vrp")) {
      instances[lower(stem(path))].push_back(path);
      in_folder[{folder_of(path), lower(stem(path))}].push_back(path);
    }

  size_t before = list.pairs.size();
  for (const std::string &path : solution_files) {
    bool solution = ends_with(path, ".sol") || ends_with(path, ".routes") ||
                    (!one_folder && ends_with(path, ".txt"));
    if (!solution) continue;
    Pair p;
    p.solution = p.solution_open = join(solution_dir, path);
    p.key = lower(stem(path));
    p.name = stem(path);
    p.run = run;
    p.run_index = run_index;
    list.solved.insert(p.key);
    auto local = in_folder.find({folder_of(path), p.key});
    auto found = instances.find(p.key);
    const std::vector<std::string> *candidates = local != in_folder.end()   ? &local->second
                                                 : found != instances.end() ? &found->second
                                                                            : nullptr;
    if (candidates == nullptr) {
      p.error = "no instance " + stem(path) + ".txt or " + stem(path) + ".vrp in " + instance_dir;
    } else if (candidates->size() > 1) {
      p.error = "more than one instance: " + named(instance_dir, *candidates);
    } else {
      p.instance = p.instance_open = join(instance_dir, (*candidates)[0]);
      p.name = stem(p.instance);
    }
    list.pairs.push_back(std::move(p));
  }
  // An instance counts once however many runs leave it without a solution.
  list.unpaired_instances = 0;
  for (const auto &[key, paths] : instances) list.instances[key] = paths.size();
  for (const auto &[key, count] : list.instances)
    if (!list.solved.count(key)) list.unpaired_instances += static_cast<int64_t>(count);
  if (list.pairs.size() == before) {
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
      p.name = stem(line);
      p.error = where + " has no tab between the instance and the solution";
    } else {
      p.instance = line.substr(0, tab);
      p.solution = line.substr(tab + 1);
      if (p.instance.empty() || p.solution.empty())
        p.error = where + (p.instance.empty() ? " names no instance" : " names no solution");
      p.instance_open = join(base, p.instance);
      p.solution_open = join(base, p.solution);
      p.key = lower(stem(p.instance));
      p.name = stem(p.instance);
    }
    list.pairs.push_back(std::move(p));
  }
  if (list.pairs.empty()) {
    problem = std::string("no pair in the list ") + name;
    return false;
  }
  return true;
}
