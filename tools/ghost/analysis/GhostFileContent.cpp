#include "tools/ghost/analysis/GhostFileContent.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/LineReader.h"

namespace lumaro_ghost {

GhostFileContent readGhostFileContent(std::istream& in) {
  GhostFileContent content;
  content.pageHeaderLine = readFirstLine(in, ghostLineLimit);
  in.clear();
  in.seekg(0);
  // The tool reads every line, and marks where the import would give up on one (the header, which the import
  // skips unread, is never one). A line is held up to 64 KiB: past the 4096 bytes that the page and the import
  // read, more of it tells nothing, and a planted line of gigabytes must not be gathered whole.
  constexpr std::size_t mostBytesHeld = std::size_t{1} << 16;
  LineReader lines(in, mostBytesHeld, LongLine::Cut);
  std::string_view line;
  if (!lines.next(line)) return content;
  content.headerLine = std::string(line);
  content.lineCount = 1;
  const auto note = [&](const FrameLineProblem& problem) {
    const bool stops = problem.kind == FrameLineResult::Kind::BadNumber && !content.importStopsAt;
    if (stops) {
      content.importStopsAt = problem.line;
      content.importStopProblem = problem;
    }
    if (problem.kind == FrameLineResult::Kind::TooFewFields && !content.importStopsAt) ++content.skippedBeforeStop;
    if (content.lineProblems.size() < mostLineProblemsKept) {
      content.lineProblems.push_back(problem);
    } else if (content.lineProblemsNotKept++ == 0) {
      content.firstLineNotKept = problem.line;
    }
  };
  const auto tooLong = [&](std::size_t number) {
    if (line.size() <= ghostLineLimit) return false;
    FrameLineProblem problem{number, FrameLineResult::Kind::BadNumber};
    problem.tooLong = true;
    note(problem);
    return true;
  };
  GhostFrame frame;
  while (lines.next(line)) {
    const std::size_t number = ++content.lineCount;
    if (tooLong(number)) continue;
    const FrameLineResult result = decodeFrameLine(line, frame);
    if (result.kind == FrameLineResult::Kind::Frame) {
      if (!content.importStopsAt) {
        content.frames.push_back(frame);
        content.frameLines.push_back(number);
      }
      continue;
    }
    note({number, result.kind, result.badField, result.error});
  }
  return content;
}

std::string frameLineReason(const FrameLineProblem& problem) {
  if (problem.tooLong) return longLineReason();
  if (problem.kind == FrameLineResult::Kind::TooFewFields) return std::string(tooFewFieldsReason);
  return badFieldReason(problem.field, problem.error);
}

std::size_t importSkippedLines(const GhostFileContent& content) { return content.skippedBeforeStop; }

const FrameLineProblem* importStop(const GhostFileContent& content) {
  return content.importStopProblem ? &*content.importStopProblem : nullptr;
}

}  // namespace lumaro_ghost
