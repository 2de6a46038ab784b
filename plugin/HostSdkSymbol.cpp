#include "plugin/HostSdkSymbol.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

void* findHostSdkSymbol(const char* name) {
#if defined(_WIN32)
  HMODULE sdk = GetModuleHandleA("pluginsdk.dll");
  if (sdk == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(sdk, name));
#else
  if (void* found = dlsym(RTLD_DEFAULT, name)) return found;
  // A host program that loads the plugin without the SDK library in its global scope: ask the SDK library
  // itself, which is loaded already since the plugin links against it.
  void* sdk = dlopen("libpluginsdk.so", RTLD_LAZY | RTLD_NOLOAD);
  if (sdk == nullptr) return nullptr;
  void* found = dlsym(sdk, name);
  dlclose(sdk);
  return found;
#endif
}
