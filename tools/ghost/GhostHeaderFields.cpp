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
  // A comma in a name shifts the numbers; the page then reads them from the right, and so does the tool (it
  // takes the first field as the map's whole name, since it does not know the map).
  const std::size_t count = fields.size();
  if (count > 5 && (header.runTime.error != NumberError::None || header.lapCount.error != NumberError::None)) {
    const IntReading runTime = readInt(fields[count - 3]);
    const IntReading lapCount = readInt(fields[count - 2]);
    if (runTime.error == NumberError::None && lapCount.error == NumberError::None) {
      header.playerName = fields[1];
      for (std::size_t index = 2; index < count - 3; ++index) header.playerName += "," + fields[index];
      header.runTimeField = fields[count - 3];
      header.runTime = runTime;
      header.lapField = fields[count - 2];
      header.lapCount = lapCount;
      header.version = fields[count - 1];
    }
  }
  return header;
}

}  // namespace lumaro_ghost
