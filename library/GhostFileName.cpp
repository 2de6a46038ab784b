#include "library/GhostFileName.h"

bool isGhostNameByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte != 0x7F && c != '|' && c != '&' && c != '@' && c != '"';
}

char replaceIllegalChar(char c) {
  return illegalFileNameChars.find(c) == std::string_view::npos && isGhostNameByte(c) ? c : ' ';
}

std::string ghostPathText(std::string_view exportFileName) {
  std::string text = "./tessaro/data/Ghosts/";
  for (char c : exportFileName) text += replaceIllegalChar(c);
  text += ".ghost";
  return text;
}
