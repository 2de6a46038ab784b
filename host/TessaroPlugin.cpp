#include "host/TessaroPlugin.h"

#include <utility>

namespace Tessaro::Plugin {

TessaroPlugin::TessaroPlugin() = default;

TessaroPlugin::TessaroPlugin(const TessaroPlugin& other) = default;

TessaroPlugin::TessaroPlugin(TessaroPlugin&& other) noexcept
    : cvarManager(std::move(other.cvarManager)), gameWrapper(std::move(other.gameWrapper)) {}

TessaroPlugin& TessaroPlugin::operator=(const TessaroPlugin& other) = default;

TessaroPlugin& TessaroPlugin::operator=(TessaroPlugin&& other) noexcept {
  cvarManager = std::move(other.cvarManager);
  gameWrapper = std::move(other.gameWrapper);
  return *this;
}

// Members are released in reverse declaration order: gameWrapper first, then cvarManager.
TessaroPlugin::~TessaroPlugin() = default;

void TessaroPlugin::onLoad() {}

void TessaroPlugin::onUnload() {}

}  // namespace Tessaro::Plugin
