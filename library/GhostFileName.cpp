#include "library/GhostFileName.h"

char replaceIllegalChar(char c) { return illegalFileNameChars.find(c) == std::string_view::npos ? c : ' '; }

std::string ghostPathText(std::string_view exportFileName) {
  std::string text = "./tessaro/data/Ghosts/";
  for (char c : exportFileName) text += replaceIllegalChar(c);
  text += ".ghost";
  return text;
}
