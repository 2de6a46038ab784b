#include "tools/ghost/command/WrittenDocument.h"

#include <algorithm>
#include <cctype>

#include "library/platform/FileStamp.h"
#include "tools/ghost/DocumentOutput.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

// The extension of the name output writes, in lower case (".png"); empty when it has none.
std::string extensionOf(const std::string& output) {
  const std::string name = nameAsWritten(output);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  std::string extension = name.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return extension;
}

}  // namespace

std::optional<std::string> outputNameProblem(const DocumentKind& kind, const std::string& output) {
  const std::string extension = extensionOf(output);
  if (output == "-" || extension.empty() || spelledAsGhost(output) ||
      std::find(kind.extensions.begin(), kind.extensions.end(), extension) != kind.extensions.end()) {
    return std::nullopt;
  }
  std::string names;
  for (std::size_t i = 0; i < kind.extensions.size(); ++i) {
    names += (i == 0 ? "" : i + 1 == kind.extensions.size() ? " or " : ", ") + std::string(kind.extensions[i]);
  }
  return "the " + std::string(kind.title) + " is " + std::string(kind.format) + ": give -o a name ending in " + names +
         ", or - for standard output, not \"" + output + "\"";
}

int writeOutput(std::string_view command, const DocumentKind& kind, const std::string& output,
                const std::vector<LoadedGhost>& ghosts, const std::string& document, std::ostream& out,
                std::ostream& err) {
  std::vector<FileStamp> inputs;
  for (const LoadedGhost& ghost : ghosts) {
    if (ghost.stamp) inputs.push_back(*ghost.stamp);
  }
  return writeOutput(command, kind, output, inputs, ghosts.size(), document, out, err);
}

int writeOutput(std::string_view command, const DocumentKind& kind, const std::string& output,
                std::span<const FileStamp> inputs, std::size_t runs, const std::string& document, std::ostream& out,
                std::ostream& err) {
  // Standard output carries the document alone, for the program that reads it.
  if (output == "-") {
    out << document;
    return 0;
  }
  const std::optional<DocumentRefusal> refusal = writeDocument(output, document, inputs);
  if (refusal && refusal->ghostFile) {
    return usage(err, command,
                 "-o " + output + " is a ghost file: the " + (command == "plot" ? "picture" : "page") +
                     " is never written over one");
  }
  if (refusal) {
    err << "lumaro-ghost " << command << ": cannot write " << lineText(output) << ": " << refusal->reason << "\n";
    return 1;
  }
  out << "Wrote the " << kind.title << " of " << countText(runs, "run", "runs") << " to " << lineText(output) << " ("
      << kind.format << ", " << sizeText(document.size()) << ").\n";
  return 0;
}

}  // namespace lumaro_ghost
