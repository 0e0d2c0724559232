#include "instances.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>

#include "batch/pairs.h"

namespace {

bool instance_extension(const std::string &name) {
  if (name.size() < 5) return false;
  std::string ext = lower(name.substr(name.size() - 4));
  return ext == ".txt" || ext == ".vrp";
}

bool walk(const std::string &folder, std::set<std::pair<dev_t, ino_t>> &seen,
          InstanceCatalog &catalog, std::string &problem) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) return true;
  DIR *d = opendir(folder.c_str());
  if (d == nullptr) {
    problem = "cannot read the folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  std::vector<std::string> names;
  errno = 0;
  while (const dirent *e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names.emplace_back(e->d_name);
    errno = 0;
  }
  int error = errno;
  closedir(d);
  if (error != 0) {
    problem = "cannot read the folder " + folder + ": " + std::strerror(error);
    return false;
  }
  std::sort(names.begin(), names.end());
  for (const std::string &name : names) {
    std::string path = folder.back() == '/' ? folder + name : folder + "/" + name;
    struct stat entry;
    if (stat(path.c_str(), &entry) != 0) continue; // a dangling link
    if (S_ISDIR(entry.st_mode)) {
      if (!walk(path, seen, catalog, problem)) return false;
    } else if (instance_extension(name)) {
      std::unique_ptr<InstanceFile> &file = catalog.by_stem[lower(stem(name))];
      if (!file) file = std::make_unique<InstanceFile>();
      file->paths.push_back(path);
    }
  }
  return true;
}

} // namespace

bool find_instances(const char *folder, InstanceCatalog &catalog, std::string &problem) {
  catalog.folder = folder;
  std::set<std::pair<dev_t, ino_t>> seen;
  return walk(folder, seen, catalog, problem);
}

const fleetjudge::Instance *instance_named(InstanceCatalog &catalog, const std::string &stem,
                                           const std::string &name, std::string &error) {
  if (catalog.folder.empty()) {
    error = "instance " + name + ": no --instances folder to find it in";
    return nullptr;
  }
  auto found = catalog.by_stem.find(stem);
  if (found == catalog.by_stem.end()) {
    error = "instance " + name + ": no " + name + ".txt or " + name + ".vrp in " + catalog.folder;
    return nullptr;
  }
  InstanceFile &file = *found->second;
  if (file.paths.size() > 1) {
    error = "instance " + name + ": several files have its name:";
    for (const std::string &path : file.paths) error += " " + path;
    return nullptr;
  }
  std::call_once(file.read_once, [&] {
    try {
      file.instance = std::make_shared<const fleetjudge::Instance>(
          fleetjudge::Instance::load(file.paths[0], catalog.options));
      catalog.reads++;
    } catch (const std::exception &e) {
      file.error = e.what(); // names the file
    }
  });
  if (!file.instance) error = file.error;
  return file.instance.get();
}
