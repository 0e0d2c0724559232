// The instances a timeline names, found by name in a folder and read once
// each, on whichever thread first needs one; every later solution, on any
// thread, is judged against that one read.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct InstanceFile {
  std::vector<std::string> paths; // every file with this stem
  std::once_flag read_once;
  std::shared_ptr<const fleetjudge::Instance> instance; // once read
  std::string error;                                    // once read, when it could not be
};

struct InstanceCatalog {
  std::string folder; // empty: none was given
  fleetjudge::InstanceOptions options;
  std::map<std::string, std::unique_ptr<InstanceFile>> by_stem; // the stem in lower case
  std::atomic<int64_t> reads{0};                                // instances read so far
};

// Every .txt and .vrp file (any case) in `folder` and its sub-folders, by
// its stem in lower case; each folder once, however links lead back to it.
// False, with `problem`, when a folder cannot be read.
bool find_instances(const char *folder, InstanceCatalog &catalog, std::string &problem);

// The instance of that stem (in lower case), read on first use; null, with
// `error`, where there is no folder, no file or several of that stem, or the
// file is refused. `name` is the stem as the timeline writes it.
const fleetjudge::Instance *instance_named(InstanceCatalog &catalog, const std::string &stem,
                                           const std::string &name, std::string &error);
