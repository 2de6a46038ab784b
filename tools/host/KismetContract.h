// What the plugin needs of a map's main Kismet sequence, judged from the map's definition: each variable it
// works with (LapNb int, MapName string, GhostPosition and GhostRotation vectors, GhostColor and GhostDelta
// floats) that the map lacks, has with another type, or starts with a value the plugin cannot work with (a map
// name too long for any ghost's header to be listed among them).
#pragma once

#include <string>
#include <vector>

#include "sim/Game.h"

namespace lumaro_host {

// How much a finding weighs.
enum class ContractWeight {
  Problem,  // the plugin does not work on the map as it should
  Ignored,  // an optional variable the map means to offer, the plugin cannot use: another type, a near-miss name
  Absent,   // an optional variable the map does not offer: no fault
};

struct ContractFinding {
  ContractWeight weight;
  std::string text;  // one line, naming the variable and what the player meets
};

// Every finding, in the order a map file usually lists the variables; empty when the map offers them all.
std::vector<ContractFinding> kismetContractFindings(const sim::MapDefinition& map);

}  // namespace lumaro_host
