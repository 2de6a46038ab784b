// The base class every plugin derives from. The host fills cvarManager and gameWrapper, then calls
// onLoad; before unloading it calls onUnload. The class is compiled into, and exported from, the plugin
// library. It has no virtual destructor: the plugin's owner destroys the object as its own class.
#pragma once

#include <memory>

#include "host/Api.h"
#include "host/CVarManagerWrapper.h"
#include "host/GameWrapper.h"

namespace Tessaro::Plugin {

class TESSARO_PLUGIN_API TessaroPlugin {
public:
  TessaroPlugin();
  TessaroPlugin(const TessaroPlugin& other);
  TessaroPlugin(TessaroPlugin&& other) noexcept;
  TessaroPlugin& operator=(const TessaroPlugin& other);
  TessaroPlugin& operator=(TessaroPlugin&& other) noexcept;
  ~TessaroPlugin();

  virtual void onLoad();
  virtual void onUnload();

  std::shared_ptr<CVarManagerWrapper> cvarManager;
  std::shared_ptr<GameWrapper> gameWrapper;
};

}  // namespace Tessaro::Plugin
