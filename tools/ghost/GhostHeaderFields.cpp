#include "tools/ghost/GhostHeaderFields.h"

#include <vector>

#include "library/SplitString.h"

namespace lumaro_ghost {

GhostHeaderFields readHeaderFields(std::string_view headerLine) {
  const std::vector<std::string> fields = splitString(headerLine, ",");
  auto field = [&](std::size_t index) { return index < fields.size() ? fields[index] : std::string(); };
  GhostHeaderFields header;
  header.fieldCount = fields.size();
  header.mapName = field(0);
  header.playerName = field(1);
  header.runTimeField = field(2);
  header.runTime = readInt(header.runTimeField);
  header.lapField = field(3);
  header.lapCount = readInt(header.lapField);
  header.version = field(4);
  return header;
}

}  // namespace lumaro_ghost
