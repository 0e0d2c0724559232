// The model: an instance read once into a record nothing changes, and
// solutions judged against it, from bytes or from routes in memory, into the
// report as a value.
#include "model.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <unistd.h>

#include "check.h"
#include "instance/vrplib.h"
#include "report/alongside.h"
#include "report/build.h"
#include "report/options.h"
#include "report/report.h"
#include "run.h"

namespace {

// What reading and screening an instance say and find, kept in order for
// each judgement to hand on; the fault that ends the reading, as the report
// words it.
struct Reading {
  std::vector<InstanceEvent> *events;
  Run *run = nullptr;
  std::string error;
};
Reading &of(void *context) { return *static_cast<Reading *>(context); }
void keep_said(void *context, const char *text) {
  of(context).events->push_back(InstanceEvent{text, Finding{}});
}
void keep_found(void *context, const Finding &f) {
  of(context).events->push_back(InstanceEvent{{}, f});
}
void keep_fault(void *context, const char *text) {
  Reading &reading = of(context);
  if (reading.error.empty()) reading.error = error_text(*reading.run, text);
}
void ignore_end(void *, int) {}

InstanceChoice instance_choice(const std::string &name) {
  InstanceChoice choice;
  if (!choose_instance_format(name.c_str(), choice))
    throw std::invalid_argument("unknown instance format: " + name);
  return choice;
}

// The options a judgement takes, into the report's run and the inputs.
void apply(const fleetjudge::ReportOptions &options, ReportRun &rep, Inputs &in) {
  if (!choose_format(options.solution_format.c_str(), in))
    throw std::invalid_argument("unknown solution format: " + options.solution_format);
  if (!choose_convention(options.convention.c_str(), rep.convention, rep.automatic))
    throw std::invalid_argument("unknown convention: " + options.convention);
}

const fleetjudge::ReadInstance &shared(const fleetjudge::Instance &instance) {
  if (!instance.data()) throw std::invalid_argument("an Instance that was never read");
  return *instance.data();
}

fleetjudge::Report finish(ReportRun &rep, const fleetjudge::Instance &instance,
                          const char *solution_name) {
  const fleetjudge::ReadInstance &read = *instance.data();
  return build_report(rep, Files{read.named ? read.file_name.c_str() : nullptr, solution_name},
                      instance);
}

} // namespace

namespace fleetjudge {

const char *version() { return FLEETJUDGE_VERSION; }

Instance Instance::read(std::string_view bytes, const InstanceOptions &options, const char *name) {
  InstanceChoice choice = instance_choice(options.format);
  auto read = std::make_shared<ReadInstance>();
  read->bytes.assign(bytes);
  read->named = name != nullptr;
  read->file_name = name ? name : "instance";
  Inputs in;
  use_memory(in.instance, "instance", read->file_name, read->bytes);
  read->mark = begins_with_mark(in.instance);
  std::string_view head = look_ahead(in.instance, FORMAT_LOOK_AHEAD);
  if (read->mark) head.remove_prefix(BYTE_ORDER_MARK.size());
  in.instance_format = instance_format_of(choice, head);
  read->head = instance_head_of(head);
  read->crlf = in.instance_format == InstanceFormat::solomon && has_crlf(head);
  in.instance.crlf_as_lf = read->crlf;
  skip_mark(in.instance, read->mark);

  Reading reading{&read->events, nullptr, {}};
  auto run = std::make_unique<Run>(
      Consumer{&reading, keep_said, keep_found, keep_fault, ignore_end, nullptr, nullptr}, false);
  reading.run = run.get();
  read_instance_phases(*run, in);
  if (run->stopped)
    throw InputError(reading.error + (choice == InstanceChoice::automatic
                                          ? instance_format_hint(in.instance_format, read->head)
                                          : std::string()));
  read->data = std::move(run->own_instance);
  Instance instance;
  instance.data_ = std::move(read);
  return instance;
}

Instance Instance::load(const std::string &path, const InstanceOptions &options) {
  instance_choice(options.format); // an unknown format before any reading
  std::string bytes;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw InputError("instance file " + path + ": " + std::strerror(errno));
  char chunk[1 << 16];
  ssize_t got;
  while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      int error = errno;
      ::close(fd);
      throw InputError("instance file " + path + ": " + std::strerror(error));
    }
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return read(bytes, options, path.c_str());
}

std::string_view Instance::bytes() const { return shared(*this).bytes; }
const char *Instance::path() const {
  return shared(*this).named ? shared(*this).file_name.c_str() : nullptr;
}
const std::string &Instance::name() const { return shared(*this).data.name; }
const char *Instance::type() const {
  const InstanceData &data = shared(*this).data;
  return data.pickup_delivery() ? "PDPTW" : data.windows ? "VRPTW" : "CVRP";
}
const char *Instance::format() const { return instance_format_name(shared(*this).data.format); }
int64_t Instance::customers() const {
  return std::max<int64_t>(shared(*this).data.customer_count, 0);
}
double Instance::capacity() const { return shared(*this).data.capacity; }
std::optional<int> Instance::vehicles() const {
  const InstanceData &data = shared(*this).data;
  return data.fleet_limited ? std::optional<int>(data.vehicles) : std::nullopt;
}

Node Instance::node(int64_t number) const {
  const InstanceData &data = shared(*this).data;
  if (number < 0 || number > customers()) throw std::out_of_range("no such node");
  const Customer &c = data.customers[static_cast<size_t>(number)];
  double x = c.x, y = c.y;
  const DecimalPlaces &places = data.decimal_places;
  if (places.decimals) {
    x = static_cast<double>(places.x[number]) / static_cast<double>(places.unit);
    y = static_cast<double>(places.y[number]) / static_cast<double>(places.unit);
  }
  if (!data.coordinates) x = y = std::numeric_limits<double>::quiet_NaN();
  Node node{x, y, c.demand, c.ready, c.due, c.service};
  if (data.pickup_delivery()) {
    const Task &task = data.tasks[static_cast<size_t>(number)];
    node.pair = task.partner;
    node.pickup = task.role == Role::pickup;
  }
  return node;
}

std::optional<double> Violation::figure(std::string_view name) const {
  for (const Figure &f : figures)
    if (f.name == name) return f.value;
  return std::nullopt;
}

Report judge(const Instance &instance, const std::vector<Route> &routes,
             const ReportOptions &options) {
  const ReadInstance &read = shared(instance);
  auto rep = std::make_unique<ReportRun>(true, false);
  Inputs in;
  apply(options, *rep, in);
  if (!in.guess && in.format != SolutionFormat::plain)
    throw std::invalid_argument("routes in memory are a plain list: solution format " +
                                options.solution_format + " does not apply to them");
  in.guess = false;
  in.format = SolutionFormat::plain;
  in.routes = &routes;
  use_memory(in.solution, "solution", "solution", {});
  judge_against(*rep, read, in);
  return finish(*rep, instance, nullptr);
}

Report judge(const Instance &instance, std::string_view solution, const ReportOptions &options,
             const char *solution_name) {
  const ReadInstance &read = shared(instance);
  auto rep = std::make_unique<ReportRun>(true);
  Inputs in;
  apply(options, *rep, in);
  use_memory(in.solution, "solution", solution_name ? solution_name : "solution", solution);
  judge_against(*rep, read, in);
  return finish(*rep, instance, solution_name);
}

} // namespace fleetjudge
