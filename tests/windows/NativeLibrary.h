// A plugin library opened with the platform's own loader (LoadLibraryW on Windows, dlopen elsewhere),
// for checks that must see exactly what the loader sees: exported names and the addresses behind them.
// The library is closed when the object goes.
#pragma once

#include <filesystem>
#include <string>

class NativeLibrary {
public:
  // Throws std::runtime_error naming the library and the loader's error.
  explicit NativeLibrary(const std::filesystem::path& path);
  ~NativeLibrary();
  NativeLibrary(const NativeLibrary&) = delete;
  NativeLibrary& operator=(const NativeLibrary&) = delete;

  // The address the loader gives for an exported name, or nullptr.
  void* symbol(const char* name) const;

private:
  void* handle_ = nullptr;
};

// The address of a name exported by the host SDK library that this program is linked against.
void* sdkSymbol(const char* name);
