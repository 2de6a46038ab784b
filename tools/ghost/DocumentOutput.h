// Where lumaro-ghost puts a picture or page it made (-o). The name is opened once, without waiting, and what
// the open handle leads to is judged, never the name's spelling: a ghost file (by its first line or by the
// ending of its own name, short names and links resolved) or one of the tool's own inputs (by identity) is
// never written over. A file, or nothing, at the name is replaced the way the plugin replaces a ghost, through
// a scratch file renamed over the name, so a link or second name swapped in there is never written through.
// A pipe or terminal there (a viewer reading a pipe) is written to through the same open handle, and a pipe
// that nothing reads is refused at once. Windows devices' names and device-namespace paths are never opened.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "library/platform/FileStamp.h"

namespace lumaro_ghost {

struct DocumentRefusal {
  bool ghostFile = false;  // the name leads to a ghost file or an input, which is never written over
  std::string reason;      // otherwise: why the document could not be written
};

// The last component of output as Windows reads it, the dots and blanks that end it dropped ("Friend.ghost. "
// is Friend.ghost there), taken so on every system.
std::string nameAsWritten(const std::string& output);
// Whether that name ends in the ghost extension, in any case: a document is never named as a ghost.
bool spelledAsGhost(const std::string& output);

// Nothing when the document is in place; otherwise why not (a file at the name is then as it was).
// inputs: the identities of the files the document was made from.
std::optional<DocumentRefusal> writeDocument(const std::string& output, const std::string& document,
                                             std::span<const FileStamp> inputs);

}  // namespace lumaro_ghost
