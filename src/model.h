// The library's side of an Instance: an instance read once, with what every
// judge() against it needs besides the node table, so that a judgement
// never reads the instance again.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <memory>
#include <string>
#include <vector>

#include "instance/instance_data.h"
#include "report/causes.h"

// What reading and screening the instance said or found, in order: each
// judgement hands it to its own consumer first, as the run would have.
struct InstanceEvent {
  std::string text; // said; empty for a finding
  Finding finding;
};

namespace fleetjudge {
struct ReadInstance {
  std::string bytes;     // as given, the checker's verdict reads them again
  std::string file_name; // in messages: the path, or "instance"
  bool named = false;    // a path was given
  InstanceData data;
  bool crlf = false, mark = false; // CR LF line ends; a byte-order mark first
  InstanceHead head;
  std::vector<InstanceEvent> events;

  // An Instance over what was read, for the library's side.
  static Instance share(std::shared_ptr<const ReadInstance> read) {
    Instance instance;
    instance.data_ = std::move(read);
    return instance;
  }
};
} // namespace fleetjudge
