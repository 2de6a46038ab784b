// The file names the settings page's ghost list offers, in list order, read from the page's text: each entry
// is "label@file", the entries joined by "&" after the blank entry " @ ". Empty when the page has no list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

inline std::vector<std::string> listedGhostFiles(const std::string& page) {
  const std::string head = "6|Load a ghost|lm_ghostfilepath| @ ";
  const std::size_t start = page.find(head);
  if (start == std::string::npos) return {};
  const std::string list = page.substr(start + head.size(), page.find("\r\n", start) - start - head.size());
  std::vector<std::string> files;
  for (std::size_t at = list.find('@'); at != std::string::npos; at = list.find('@', at + 1)) {
    files.push_back(list.substr(at + 1, std::min(list.find('&', at), list.size()) - at - 1));
  }
  return files;
}
