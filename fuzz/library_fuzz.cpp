// In-process fuzzing of the library's entries with libFuzzer, under
// AddressSanitizer and UndefinedBehaviorSanitizer (fuzz/library.sh): the
// checker, the report, the report on VRPLIB instances, an Instance read in
// each layout (and judged once, so that every leg is looked up), and
// judge() on a solution's bytes and on routes in memory.
//
// One input holds both files: the instance, the line "====", then the
// solution; without that line, all of it is the solution of a fixed
// instance. Beyond the sanitizers, each run checks what must always hold:
// the checker's status is 0 or 1; the report's document is valid JSON whose
// verdict, for a solution in fleetjudge's format, is the checker's own,
// byte for byte; a second call gives the same bytes (no state survives a
// run). An Instance read gives the figures its accessors promise, and
// judge() against it the document report() writes: on the solution's bytes,
// and on routes decoded from them (two bytes a customer number, 0xFFFF
// between routes) against the same routes written as a plain list.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <fleetjudge/fleetjudge.h>
#include <nlohmann/json.hpp>

namespace {

const char fixed_instance[] = "five\n\nVEHICLE\nNUMBER CAPACITY\n2 10\n\nCUSTOMER\ntitles\n\n"
                              "0 0 0 0 0 32 0\n1 3 4 4 0 50 1\n2 6 8 3 20 30 2\n"
                              "3 6 0 5 0 6 0\n4 0 -8 5 0 100 0\n";

void split(std::string_view data, std::string_view &instance, std::string_view &solution) {
  size_t mark = data.find("\n====\n");
  if (mark == std::string_view::npos) {
    instance = fixed_instance;
    solution = data;
  } else {
    instance = data.substr(0, mark + 1);
    solution = data.substr(mark + 6);
  }
}

#if defined(FUZZ_REPORT) || defined(FUZZ_VRPLIB)
// The JSON strings hold input bytes as Latin-1 characters.
std::string latin1(const std::string &utf8) {
  std::string bytes;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80 || i + 1 == utf8.size()) {
      bytes += static_cast<char>(c);
    } else {
      bytes +=
          static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      ++i;
    }
  }
  return bytes;
}
#endif

#ifdef FUZZ_READ
void read_instance(std::string_view data) {
  static const char *const formats[] = {"auto", "solomon", "vrplib", "lilim", "sartori"};
  try {
    fleetjudge::Instance instance =
        fleetjudge::Instance::read(data, {formats[data.size() % 5]}, "fuzzed");
    if (instance.bytes() != data || instance.customers() < 0) std::abort();
    for (int64_t i = 0; i <= instance.customers(); ++i) instance.node(i);
    fleetjudge::Instance copy = instance; // shares, never reads again
    if (copy.bytes().data() != instance.bytes().data()) std::abort();
    // Every leg of the instance read, from its matrix or its coordinates:
    // one route through all its customers, in order and backwards.
    if (instance.customers() <= 300) {
      std::vector<fleetjudge::Route> routes(2);
      for (int c = 1; c <= instance.customers(); ++c) {
        routes[0].push_back(c);
        routes[1].insert(routes[1].begin(), c);
      }
      fleetjudge::Report judged = fleetjudge::judge(instance, routes);
      if (judged.status < 0 || judged.status > 2) std::abort();
    }
  } catch (const fleetjudge::InputError &error) {
    if (error.what()[0] == '\0') std::abort();
  }
}
#endif

#ifdef FUZZ_JUDGE
void judge_both_ways(std::string_view instance_bytes, std::string_view solution, size_t size) {
  static const char *const conventions[] = {"auto", "exact", "truncated", "rounded"};
  fleetjudge::ReportOptions options;
  options.convention = conventions[size % 4];
  fleetjudge::Instance instance;
  try {
    instance = fleetjudge::Instance::read(instance_bytes);
  } catch (const fleetjudge::InputError &) {
    return;
  }
  fleetjudge::Report judged = fleetjudge::judge(instance, solution, options);
  if (fleetjudge::to_json(judged) != fleetjudge::report(instance_bytes, solution, options).json)
    std::abort();
  std::vector<fleetjudge::Route> routes(1);
  std::string plain;
  for (size_t i = 0; i + 1 < solution.size(); i += 2) {
    unsigned number =
        static_cast<unsigned char>(solution[i]) << 8 | static_cast<unsigned char>(solution[i + 1]);
    if (number == 0xFFFF) {
      routes.emplace_back();
      plain += '\n';
      continue;
    }
    int customer = static_cast<int>(number) - 2; // 0 and -1 too: not customers
    routes.back().push_back(customer);
    plain += std::to_string(customer) + ' ';
  }
  options.solution_format = "plain";
  fleetjudge::Report in_memory = fleetjudge::judge(instance, routes, options);
  fleetjudge::Report written = fleetjudge::judge(instance, plain + '\n', options);
  if (in_memory.status != written.status ||
      in_memory.violations.size() != written.violations.size())
    std::abort();
  written.verdict = in_memory.verdict; // a plain list has none either way
  if (fleetjudge::to_json(in_memory) != fleetjudge::to_json(written)) std::abort();
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  std::string_view data(reinterpret_cast<const char *>(bytes), size), instance, solution;
  split(data, instance, solution);
#if defined(FUZZ_READ)
  read_instance(data);
#elif defined(FUZZ_JUDGE)
  judge_both_ways(instance, solution, size);
#elif defined(FUZZ_REPORT) || defined(FUZZ_VRPLIB)
  static const char *const formats[] = {"auto", "auto", "plain", "routes"};
  static const char *const conventions[] = {"auto", "exact", "truncated", "rounded"};
  fleetjudge::ReportOptions options;
  options.solution_format = formats[size % 4];
  options.convention = conventions[size / 4 % 4];
#ifdef FUZZ_VRPLIB
  options.instance_format = "vrplib";
#endif
  fleetjudge::ReportResult result = fleetjudge::report(instance, solution, options);
  if (result.status < 0 || result.status > 2) std::abort();
  if (fleetjudge::report(instance, solution, options).json != result.json) std::abort();
  nlohmann::json doc = nlohmann::json::parse(result.json); // throws, and aborts, on invalid JSON
  if (doc["solution"]["format"] == "fleetjudge" && !doc["verdict"]["status"].is_null()) {
    fleetjudge::Verdict v = fleetjudge::check(instance, solution);
    if (doc["verdict"]["status"] != v.status ||
        latin1(doc["verdict"]["message"].get<std::string>()) != v.output)
      std::abort();
  }
#else
  fleetjudge::Verdict v = fleetjudge::check(instance, solution);
  if (v.status != 0 && v.status != 1) std::abort();
  fleetjudge::Verdict again = fleetjudge::check(instance, solution);
  if (again.status != v.status || again.output != v.output) std::abort();
#endif
  return 0;
}
