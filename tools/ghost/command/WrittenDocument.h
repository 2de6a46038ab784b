// Where plot and html put what they made (-o): standard output for "-", else the file named, whose extension
// must say what it holds (a name without one is taken as it is: a pipe, say), written as DocumentOutput.h
// writes a document; and then one line on standard output saying what was written where.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/platform/FileStamp.h"
#include "tools/ghost/analysis/LoadedGhost.h"

namespace lumaro_ghost {

struct DocumentKind {
  std::string_view title;                        // "picture": what was written, in the line that says so
  std::string_view format;                       // "SVG"
  std::span<const std::string_view> extensions;  // ".svg": the first is the one the tool suggests
};

// Why -o cannot name a document of this kind (its extension says another), for a usage error; nothing when
// it can. A name spelled as a ghost's is left to writeOutput, which refuses it as such.
std::optional<std::string> outputNameProblem(const DocumentKind& kind, const std::string& output);

// Writes document where output names, made from ghosts; returns the exit status (0 when written).
int writeOutput(std::string_view command, const DocumentKind& kind, const std::string& output,
                const std::vector<LoadedGhost>& ghosts, const std::string& document, std::ostream& out,
                std::ostream& err);
// The same for a document of `runs` runs whose files it no longer holds open (the board's page): inputs, the
// identities of those it still knows, none the board.
int writeOutput(std::string_view command, const DocumentKind& kind, const std::string& output,
                std::span<const FileStamp> inputs, std::size_t runs, const std::string& document, std::ostream& out,
                std::ostream& err);

}  // namespace lumaro_ghost
