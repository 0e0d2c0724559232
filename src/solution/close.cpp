#include <cmath>

#include "../run.h"
#include "solution.h"

// In the checker's order: which single message it prints when several of
// these fail. The checks the checker's run can never reach (it stopped on the
// way when the count or the total passed the declared one) are the report's
// judgement of the declared figures, made once, here.
static void declared_checks(Run &r) {
  Finding counts{Kind::no_routes};
  counts.declared = r.declared_routes;
  counts.found = r.routes_done;
  if (r.routes_done == 0) {
    found(r, counts);
  } else if (r.routes_done < r.declared_routes) {
    counts.kind = Kind::too_few_routes;
    found(r, counts);
  }
  if (r.routes_done > r.declared_routes) {
    counts.kind = Kind::too_many_routes;
    found(r, counts);
  }
  Finding total{Kind::total_above_declared, r.routes_done, r.last_node};
  total.value = r.total_cost;
  total.limit = r.declared_total;
  total.excess = r.total_cost - r.declared_total;
  if (r.total_cost > r.declared_total + epsilon) found(r, total);
  // The lower side of the tolerance; the upper side was held at every step.
  if (r.total_cost < r.declared_total - epsilon) {
    total.kind = Kind::total_below_declared;
    found(r, total);
  }
}

// A route list's declared cost against the distance in every convention:
// within its tolerance of any one of them, it stands.
static void declared_cost(Run &r) {
  const RouteListNotes &list = r.route_list;
  if (!list.has_cost) return;
  double distances[] = {to_double(r.distance), static_cast<double>(r.distance_tenths) / 10,
                        static_cast<double>(r.distance_rounded)};
  for (double distance : distances)
    if (std::fabs(list.cost - distance) <= list.cost_tolerance) return;
  Finding f{Kind::cost_mismatch};
  f.value = static_cast<ext>(list.cost);
  f.limit = r.distance;
  f.excess = static_cast<ext>(r.distance_tenths); // tenths
  f.found = r.distance_rounded;
  f.arrival = list.cost_tolerance;
  found(r, f);
}

// Each request on its tasks' first visits: both served or neither, on one
// route, the pickup first. A task served again is judged where it was served
// first; visited_twice tells of the rest.
static void request_checks(Run &r) {
  const InstanceData &d = *r.instance;
  for (int64_t pickup = 1; pickup <= d.customer_count; ++pickup) {
    if (d.tasks[pickup].role != Role::pickup) continue; // each request once
    int64_t delivery = d.tasks[pickup].partner;
    const Run::Visit &p = r.first_visit[pickup], &q = r.first_visit[delivery];
    bool picked = r.visits[pickup] > 0, delivered = r.visits[delivery] > 0;
    if (picked != delivered) {
      Finding f{Kind::partner_missing, picked ? p.route : q.route, picked ? pickup : delivery};
      f.position = picked ? p.written : q.written;
      f.declared = picked ? delivery : pickup;
      found(r, f);
    } else if (picked && p.route != q.route) {
      Finding f{Kind::pair_split, p.route, pickup};
      f.position = p.written;
      f.declared = delivery;
      f.found = q.route;
      found(r, f);
    } else if (picked && q.written < p.written) {
      Finding f{Kind::delivery_before_pickup, q.route, delivery};
      f.position = q.written;
      f.declared = pickup;
      f.found = p.position;
      found(r, f);
    }
  }
}

void close_checks(Run &r) {
  if (r.declared) declared_checks(r);
  for (int64_t i = 1; i <= r.instance->customer_count; ++i)
    if (r.visits[i] == 0) found(r, Finding{Kind::not_visited, 0, i});
  if (r.instance->pickup_delivery()) request_checks(r);
  if (r.instance->fleet_limited && r.routes_done > r.instance->vehicles) {
    Finding f{Kind::too_many_vehicles};
    f.declared = r.instance->vehicles;
    f.found = r.routes_done;
    found(r, f);
  }
  declared_cost(r);
  say(r, "OK\n");
  end_verdict(r, 0);
}
