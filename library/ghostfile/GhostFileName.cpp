#include "library/ghostfile/GhostFileName.h"

#include <algorithm>
#include <initializer_list>

#include "library/platform/DeviceName.h"
#include "library/platform/PathText.h"

bool endsInGhostExtension(std::string_view fileName) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return fileName.size() >= ghostExtension.size() &&
         std::equal(ghostExtension.begin(), ghostExtension.end(), fileName.end() - ghostExtension.size(),
                    [&lower](char a, char b) { return a == lower(b); });
}

bool namesNoGhost(std::string_view selection) {
  return selection == blankGhostChoice || selection == defaultGhostSelection;
}

std::optional<std::filesystem::path> selectedGhostFile(const std::filesystem::path& ghostFolder,
                                                       std::string_view selection) {
  if (namesNoGhost(selection)) return std::nullopt;
  const std::optional<std::filesystem::path> named = pathFromUtf8IfAny(selection);
  if (!named) return std::nullopt;
  // A device-namespace path stands for itself, as Windows reads it, so the device rule sees it whole (the
  // standard library does not take every such path for an absolute one).
  if (isDeviceNamespacePath(selection)) return *named;
  // The ordinary join: an absolute path replaces the folder.
  return ghostFolder / *named;
}

char replaceIllegalChar(char c) {
  return illegalFileNameChars.find(c) == std::string_view::npos && isGhostNameByte(c) ? c : ' ';
}

std::optional<std::string_view> exportNameRefusal(std::string_view exportFileName) {
  if (exportFileName.find('*') != std::string_view::npos) return asteriskReason;
  return std::nullopt;
}

std::string ghostPathText(std::string_view exportFileName) {
  // A path from the game's folder, as the host writes one.
  std::string text = names::ghostFolderText("./");
  for (char c : exportFileName) text += replaceIllegalChar(c);
  text += ghostExtension;
  return text;
}
