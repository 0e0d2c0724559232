// In-process fuzzing of the library's two entries with libFuzzer, under
// AddressSanitizer and UndefinedBehaviorSanitizer (fuzz/library.sh): the
// checker, the report, and the report on VRPLIB instances.
//
// One input holds both files: the instance, the line "====", then the
// solution; without that line, all of it is the solution of a fixed
// instance. Beyond the sanitizers, each run checks what must always hold:
// the checker's status is 0 or 1; the report's document is valid JSON whose
// verdict, for a solution in fleetjudge's format, is the checker's own,
// byte for byte; a second call gives the same bytes (no state survives a
// run).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  std::string_view data(reinterpret_cast<const char *>(bytes), size), instance, solution;
  split(data, instance, solution);
#if defined(FUZZ_REPORT) || defined(FUZZ_VRPLIB)
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
