#include "formats.h"

#include "vrplib.h"

InstanceFormat told_instance_format(std::string_view head) {
  // Li & Lim's first three lines are numbers only, which no file of key
  // lines begins with: told first, they spare the search of the whole head
  // for the key lines of the others.
  if (looks_like_lilim(head)) return InstanceFormat::lilim;
  if (looks_like_sartori(head)) return InstanceFormat::sartori;
  if (looks_like_vrplib(head)) return InstanceFormat::vrplib;
  if (looks_like_lilim(head)) return InstanceFormat::lilim;
  return InstanceFormat::solomon;
}
