// Reading and writing whole files byte for byte, for tests that look at what the plugin wrote on disk or
// hand it files made by hand.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "library/ghostfile/GhostFrame.h"

inline std::string fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline GhostFrame ghostFrame(std::int32_t time, float x, float y, float z, float pitch, float yaw, float roll) {
  GhostFrame frame;
  frame.time = time;
  frame.x = x;
  frame.y = y;
  frame.z = z;
  frame.pitch = pitch;
  frame.yaw = yaw;
  frame.roll = roll;
  return frame;
}

inline std::vector<std::string> folderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
