#include "formats.h"

#include "vrplib.h"

InstanceFormat told_instance_format(std::string_view head) {
  if (looks_like_sartori(head)) return InstanceFormat::sartori;
  if (looks_like_vrplib(head)) return InstanceFormat::vrplib;
  if (looks_like_lilim(head)) return InstanceFormat::lilim;
  return InstanceFormat::solomon;
}
