#include "objective.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "solution/route_list.h"

bool choose_objective(const char *name, Objective &objective) {
  if (std::strcmp(name, "vehicles-first") == 0)
    objective = Objective::vehicles_first;
  else if (std::strcmp(name, "distance") == 0)
    objective = Objective::distance;
  else
    return false;
  return true;
}

Objective objective_in_force(Objective asked, bool pickup_delivery) {
  if (asked != Objective::automatic) return asked;
  return pickup_delivery ? Objective::vehicles_first : Objective::distance;
}

bool gap_given(Objective in_force, int64_t vehicles, const Bks &b) {
  if (!b.has_cost || b.cost == 0) return false;
  return in_force != Objective::vehicles_first || (b.has_vehicles && b.vehicles == vehicles);
}

const char *vehicles_versus(int64_t vehicles, const Bks &b) {
  if (!b.has_vehicles) return "";
  return vehicles == b.vehicles ? "same" : vehicles > b.vehicles ? "more" : "fewer";
}

bool better_run(Objective in_force, int64_t vehicles, double distance, int64_t best_vehicles,
                double best_distance) {
  if (in_force == Objective::vehicles_first && vehicles != best_vehicles)
    return vehicles < best_vehicles;
  return distance != best_distance ? distance < best_distance : vehicles < best_vehicles;
}

namespace {

// The layout the report will read the file in, from the same first bytes;
// false for a file that is not a regular one or cannot be read (its row
// says why).
bool pickup_delivery_file(const std::string &path, InstanceChoice choice) {
  // A pipe is not opened at all: that would wait for its writer, or end
  // what it writes before its judging reads it.
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  std::string head;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    head.resize(std::min(size_t(st.st_size), FORMAT_LOOK_AHEAD));
    size_t got = 0;
    while (got < head.size()) {
      ssize_t n = read(fd, &head[got], head.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += size_t(n);
    }
    head.resize(got);
  }
  close(fd);
  std::string_view bytes = head;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3); // a byte-order mark
  if (bytes.empty()) return false;
  InstanceFormat f = instance_format_of(choice, bytes);
  return f == InstanceFormat::lilim || f == InstanceFormat::sartori;
}

} // namespace

bool some_vehicles_first(Objective asked, InstanceChoice choice, const std::vector<Pair> &pairs) {
  if (asked != Objective::automatic) return asked == Objective::vehicles_first;
  if (choice == InstanceChoice::lilim || choice == InstanceChoice::sartori) return true;
  if (choice != InstanceChoice::automatic) return false;
  std::set<std::string> looked;
  for (const Pair &p : pairs)
    if (p.error.empty() && looked.insert(p.instance_open).second &&
        pickup_delivery_file(p.instance_open, choice))
      return true;
  return false;
}
