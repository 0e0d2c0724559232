#include "aggregate.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "csv.h"
#include "objective.h"
#include "order.h"
#include "report/report.h"

namespace {

Value text(const std::string &s) { return Value{Value::text, s, 0, 0}; }
Value whole(long long n) { return Value{Value::whole, "", n, 0}; }
Value real(double x) { return Value{Value::real, "", 0, x}; }
Value mean(double sum, long long count) { return count > 0 ? real(sum / double(count)) : Value{}; }

// The convention an instance's figures are taken in: the best-known file's
// for it, else the one asked for (exact under auto).
Convention convention_of(const std::string &key, const Settings &settings, const BksTable &bks) {
  auto found = bks.find(key);
  if (found != bks.end() && found->second.has_convention) return found->second.convention;
  return settings.automatic_convention ? Convention::exact : settings.convention;
}

// One pair's figures in its instance's convention.
struct Judged {
  bool feasible = false;
  Objective objective = Objective::distance; // in force for the pair
  long long vehicles = 0;
  double distance = 0;
  bool has_gap = false;
  double gap = 0;
};

Judged judged_in(const Row &row, const std::string &key, Convention c, const Settings &settings,
                 const BksTable &bks) {
  Judged j;
  j.feasible = row.judged && row.feasible_in[static_cast<int>(c)];
  j.objective = objective_in_force(settings.objective, row.pickup_delivery);
  j.vehicles = row.vehicles;
  j.distance = distance_in(row, c);
  auto found = bks.find(key);
  if (found != bks.end() && gap_given(j.objective, j.vehicles, found->second)) {
    j.has_gap = true;
    j.gap = 100 * (j.distance - found->second.cost) / found->second.cost;
  }
  return j;
}

bool better(const Judged &a, const Judged &b) {
  return better_run(a.objective, a.vehicles, a.distance, b.vehicles, b.distance);
}

struct Instance {
  std::string name, path, key;
  Convention convention = Convention::exact;
  long long runs = 0, feasible = 0, vehicles = 0, gaps = 0;
  double distance = 0, gap = 0; // sums over the feasible runs
  bool has_best = false;
  Judged best;
};

std::vector<Instance> instances_of(const std::vector<Pair> &pairs, const std::vector<Row> &rows,
                                   const Settings &settings, const BksTable &bks) {
  std::vector<Instance> list;
  std::map<std::string, size_t> where; // by path, else by name
  for (size_t i = 0; i < pairs.size(); ++i) {
    const Pair &p = pairs[i];
    std::string id = p.instance.empty() ? "\n" + p.name : p.instance;
    auto [at, added] = where.emplace(id, list.size());
    if (added) {
      Instance in;
      in.name = p.name, in.path = p.instance, in.key = p.key.empty() ? lower(p.name) : p.key;
      in.convention = convention_of(in.key, settings, bks);
      list.push_back(in);
    }
    Instance &in = list[at->second];
    Judged j = judged_in(rows[i], in.key, in.convention, settings, bks);
    in.runs++;
    if (!j.feasible) continue;
    in.feasible++;
    in.vehicles += j.vehicles;
    in.distance += j.distance;
    if (j.has_gap) in.gaps++, in.gap += j.gap;
    if (!in.has_best || better(j, in.best)) in.best = j, in.has_best = true;
  }
  return list;
}

// The class of a Solomon or Gehring-Homberger name: R101 -> R1, RC208 -> RC2,
// C1_10_1 -> C1_10; empty for any other name.
std::string solomon_class(const std::string &name) {
  static const std::regex solomon("(R|C|RC)([12])\\d\\d", std::regex::icase);
  static const std::regex homberger("((R|C|RC)[12]_\\d+)_\\d+", std::regex::icase);
  std::smatch m;
  std::string found;
  if (std::regex_match(name, m, solomon))
    found = m[1].str() + m[2].str();
  else if (std::regex_match(name, m, homberger))
    found = m[1].str();
  for (char &c : found)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return found;
}

struct Group {
  long long members = 0, feasible = 0, vehicles = 0, gaps = 0;
  double distance = 0, gap = 0;
  void add(const Judged *j) { // null: no feasible figure
    members++;
    if (!j) return;
    feasible++;
    vehicles += j->vehicles;
    distance += j->distance;
    if (j->has_gap) gaps++, gap += j->gap;
  }
  std::vector<Value> values(const std::string &label) const {
    return {text(label),
            whole(members),
            whole(feasible),
            mean(double(vehicles), feasible),
            mean(distance, feasible),
            mean(gap, gaps),
            whole(vehicles),
            real(distance)};
  }
};

// How the best run is chosen, for the caption: by the objective asked for,
// else by the problem of the pairs judged.
std::string best_rule(Objective asked, const std::vector<Row> &rows) {
  const char *by_distance = "lowest distance, fewer vehicles breaking a tie";
  const char *by_vehicles = "fewest vehicles, lower distance breaking a tie";
  if (asked != Objective::automatic)
    return asked == Objective::vehicles_first ? by_vehicles : by_distance;
  bool pickup_delivery = false, other = false;
  for (const Row &r : rows)
    if (r.judged) (r.pickup_delivery ? pickup_delivery : other) = true;
  if (!pickup_delivery) return by_distance;
  if (!other) return by_vehicles;
  return std::string(by_distance) + ", or for pickup and delivery instances of " + by_vehicles;
}

void fields(Summary &s, const std::vector<std::pair<const char *, bool>> &columns) {
  for (const auto &[name, right] : columns) {
    s.sheet.fields.push_back(Field{name, name, std::string(name).size(), right});
    s.defaults.push_back(s.defaults.size());
  }
}

} // namespace

Summary summarize(const std::vector<Pair> &pairs, const std::vector<Row> &rows,
                  const Settings &settings, const BksTable &bks) {
  Summary s;
  s.sheet.format = settings.format;
  std::vector<Instance> instances = instances_of(pairs, rows, settings, bks);
  if (settings.grouping == Grouping::none) {
    fields(s, {{"name", false},
               {"instance", false},
               {"runs", true},
               {"feasible", true},
               {"best_vehicles", true},
               {"mean_vehicles", true},
               {"best_distance", true},
               {"mean_distance", true},
               {"best_gap_percent", true},
               {"mean_gap_percent", true},
               {"convention", false}});
    if (settings.format != OutputFormat::csv && settings.format != OutputFormat::jsonl)
      s.defaults.erase(s.defaults.begin() + 1); // names, not paths
    s.sheet.caption = "One row per instance over its runs: best is the feasible run of " +
                      best_rule(settings.objective, rows) +
                      "; means are over the feasible runs; each instance in its convention.";
    // Sums of each instance's best and of its means (a run's expected CNV
    // and CTD); the gaps' means over the instances that have them.
    long long runs = 0, feasible = 0, best_vehicles = 0, best_gaps = 0, mean_gaps = 0;
    double mean_vehicles = 0, best_distance = 0, mean_distance = 0, best_gap = 0, mean_gap = 0;
    for (const Instance &in : instances) {
      const Judged *b = in.has_best ? &in.best : nullptr;
      s.rows.push_back({text(in.name), in.path.empty() ? Value{} : text(in.path), whole(in.runs),
                        whole(in.feasible), b ? whole(b->vehicles) : Value{},
                        mean(double(in.vehicles), in.feasible), b ? real(b->distance) : Value{},
                        mean(in.distance, in.feasible), b && b->has_gap ? real(b->gap) : Value{},
                        mean(in.gap, in.gaps),
                        text(convention_names[static_cast<int>(in.convention)])});
      runs += in.runs, feasible += in.feasible;
      if (!b) continue;
      best_vehicles += b->vehicles, best_distance += b->distance;
      mean_vehicles += double(in.vehicles) / double(in.feasible);
      mean_distance += in.distance / double(in.feasible);
      if (b->has_gap) best_gaps++, best_gap += b->gap;
      if (in.gaps > 0) mean_gaps++, mean_gap += in.gap / double(in.gaps);
    }
    s.totals = {text("total"),
                Value{},
                whole(runs),
                whole(feasible),
                whole(best_vehicles),
                real(mean_vehicles),
                real(best_distance),
                real(mean_distance),
                mean(best_gap, best_gaps),
                mean(mean_gap, mean_gaps),
                Value{}};
  } else {
    bool per = settings.per_instance;
    fields(s, {{"group", false},
               {per ? "instances" : "pairs", true},
               {"feasible", true},
               {"mean_vehicles", true},
               {"mean_distance", true},
               {"mean_gap_percent", true},
               {"total_vehicles", true},
               {"total_distance", true}});
    s.sheet.caption =
        per ? "One row per group: means over its instances of each instance's best feasible run; "
              "totals are the sums (CNV, CTD)."
            : "One row per group: means over its feasible pairs, each in its instance's "
              "convention; totals are the sums (CNV, CTD).";
    std::regex pattern;
    if (settings.grouping == Grouping::pattern)
      pattern = std::regex(settings.group_pattern, std::regex::ECMAScript);
    auto group_of = [&](const std::string &name) {
      std::string found;
      std::smatch m;
      if (settings.grouping == Grouping::solomon)
        found = solomon_class(name);
      else if (std::regex_search(name, m, pattern) && m[1].matched)
        found = m[1].str();
      return found;
    };
    std::map<std::string, Group> groups;
    Group other, all;
    bool any_other = false;
    auto add = [&](const std::string &name, const Judged *j) {
      std::string label = group_of(name);
      (label.empty() ? other : groups[label]).add(j);
      any_other |= label.empty();
      all.add(j);
    };
    if (per) {
      for (const Instance &in : instances) add(in.name, in.has_best ? &in.best : nullptr);
    } else {
      for (size_t i = 0; i < pairs.size(); ++i) {
        std::string key = pairs[i].key.empty() ? lower(pairs[i].name) : pairs[i].key;
        Judged j = judged_in(rows[i], key, convention_of(key, settings, bks), settings, bks);
        add(pairs[i].name, j.feasible ? &j : nullptr);
      }
    }
    std::vector<std::string> labels;
    for (const auto &[label, g] : groups) labels.push_back(label);
    std::sort(labels.begin(), labels.end(), natural_less);
    for (const std::string &label : labels) s.rows.push_back(groups[label].values(label));
    if (any_other) s.rows.push_back(other.values("other"));
    s.totals = all.values("total");
  }
  return s;
}

std::vector<std::string> rendered(const std::vector<Value> &values, const Settings &settings) {
  bool display = settings.format == OutputFormat::table ||
                 settings.format == OutputFormat::markdown ||
                 settings.format == OutputFormat::latex;
  std::vector<std::string> cells;
  for (const Value &v : values) switch (v.kind) {
    case Value::empty:
      cells.emplace_back();
      break;
    case Value::text:
      cells.push_back(v.words);
      break;
    case Value::whole:
      cells.push_back(std::to_string(v.integer));
      break;
    case Value::real:
      cells.push_back(display ? fixed(v.number, settings.decimals) : shortest(v.number));
      break;
    }
  return cells;
}

void write_summary_jsonl(const Summary &summary, std::FILE *out) {
  using Json = nlohmann::ordered_json;
  for (const std::vector<Value> &row : summary.rows) {
    Json doc = Json::object();
    for (size_t k = 0; k < row.size(); ++k) {
      const Value &v = row[k];
      Json &cell = doc[summary.sheet.fields[k].name];
      cell = v.kind == Value::text    ? Json(latin1(v.words))
             : v.kind == Value::whole ? Json(v.integer)
             : v.kind == Value::real  ? Json(v.number)
                                      : Json(nullptr);
    }
    std::string line = doc.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
}

void write_bks(const std::vector<Pair> &pairs, const std::vector<Row> &rows, Objective asked,
               std::FILE *out) {
  struct Best {
    std::string name;
    const Row *row;
  };
  std::map<std::string, Best> best; // by key
  for (size_t i = 0; i < pairs.size(); ++i) {
    const Row &r = rows[i];
    if (!r.judged || !r.has_cost || r.matches < 0 || !r.feasible_in[r.matches]) continue;
    auto [at, added] = best.emplace(pairs[i].key, Best{pairs[i].name, &r});
    const Row &b = *at->second.row;
    Objective objective = objective_in_force(asked, r.pickup_delivery);
    if (!added && better_run(objective, r.vehicles, r.cost, b.vehicles, b.cost))
      at->second = Best{pairs[i].name, &r};
  }
  std::vector<const Best *> order;
  for (const auto &[key, b] : best) order.push_back(&b);
  std::sort(order.begin(), order.end(),
            [](const Best *a, const Best *b) { return natural_less(a->name, b->name); });
  std::string text = "instance,vehicles,cost,convention\r\n";
  for (const Best *b : order)
    text += csv_field(b->name) + "," + std::to_string(b->row->vehicles) + "," +
            shortest(b->row->cost) + "," + convention_names[b->row->matches] + "\r\n";
  std::fwrite(text.data(), 1, text.size(), out);
}
