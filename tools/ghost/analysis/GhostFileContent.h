// A ghost file as the tool sees it: the header line, the frames the plugin's import would load, and every
// frame line the import would skip or stop at, each with its line number. Built on the plugin's own codec
// (LineReader, decodeFrameLine), so the tool and the plugin never disagree about a line.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"

namespace lumaro_ghost {

struct FrameLineProblem {
  std::size_t line = 0;  // counted from 1, the header being line 1
  FrameLineResult::Kind kind = FrameLineResult::Kind::TooFewFields;
  FrameField field = FrameField::Time;  // with BadNumber
  NumberError error = NumberError::None;
  bool tooLong = false;  // longer than ghostLineLimit: the import stops at it, whatever it holds
};

struct GhostFileContent {
  // The first line, its first 64 KiB when it is longer; none when the file holds nothing at all.
  std::optional<std::string> headerLine;
  // The first line as the settings page reads it: none when the file is empty or its first line is longer
  // than the page reads (ghostLineLimit bytes without its line end).
  std::optional<std::string> pageHeaderLine;
  // What the import loads: every readable frame line up to the first line with a bad number.
  std::vector<GhostFrame> frames;
  std::vector<std::size_t> frameLines;  // the line of each frame
  // Every frame line with fewer than seven fields or a bad number, in file order, also past the first bad
  // number (which ends the import): the first mostLineProblemsKept of them, so that a file of millions of
  // blank lines costs no more than a few; the others are only counted.
  std::vector<FrameLineProblem> lineProblems;
  std::size_t lineProblemsNotKept = 0;
  std::size_t firstLineNotKept = 0;                   // with lineProblemsNotKept: the line of the first of them
  std::optional<FrameLineProblem> importStopProblem;  // the line of the first bad number, kept or not
  std::optional<std::size_t> importStopsAt;           // its line number
  std::size_t skippedBeforeStop = 0;                  // lines of fewer than seven fields before it (or in all)
  std::size_t lineCount = 0;
};

// How many line problems a read keeps one by one.
inline constexpr std::size_t mostLineProblemsKept = 1000;

// Reads the stream twice, from its start: once as the page reads a first line, once as the import reads.
GhostFileContent readGhostFileContent(std::istream& in);

// A frame line's problem in the words of the plugin's import: "the x value is not a number".
std::string frameLineReason(const FrameLineProblem& problem);

// The lines the import skips for having fewer than seven fields: only those before its stop, since it reads
// no further (the count of its "Skipped N lines" message).
std::size_t importSkippedLines(const GhostFileContent& content);

// The line the import stops at, when it stops.
const FrameLineProblem* importStop(const GhostFileContent& content);

}  // namespace lumaro_ghost
