// The report's document as a JSON value, for a program that adds members of
// its own (the batch's JSON lines); to_json() writes the same document.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// `routes`: with the routes and their stops.
Json document_json(const fleetjudge::Report &report, bool routes);
