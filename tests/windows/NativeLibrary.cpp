#include "NativeLibrary.h"

#include <stdexcept>
#include <string>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

#if defined(_WIN32)

NativeLibrary::NativeLibrary(const std::filesystem::path& path) {
  // LoadLibraryW wants backslashes in a path.
  const std::filesystem::path native = std::filesystem::absolute(path).make_preferred();
  handle_ = reinterpret_cast<void*>(LoadLibraryW(native.wstring().c_str()));
  if (handle_ == nullptr) {
    throw std::runtime_error("LoadLibraryW(" + native.string() + ") failed: error " + std::to_string(GetLastError()));
  }
}

NativeLibrary::~NativeLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* NativeLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void* sdkSymbol(const char* name) {
  HMODULE sdk = GetModuleHandleA("pluginsdk.dll");
  return sdk == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(sdk, name));
}

#else

NativeLibrary::NativeLibrary(const std::filesystem::path& path) {
  handle_ = dlopen(std::filesystem::absolute(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the test host loads on its one thread, right after the failed call
    const char* error = dlerror();
    throw std::runtime_error("dlopen(" + path.string() + ") failed: " + (error ? error : "unknown error"));
  }
}

NativeLibrary::~NativeLibrary() { dlclose(handle_); }

void* NativeLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

void* sdkSymbol(const char* name) { return dlsym(RTLD_DEFAULT, name); }

#endif
