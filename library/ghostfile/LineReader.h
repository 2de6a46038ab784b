// Reads a stream line by line as ghost files are read: a line ends at each LF, a CR standing directly before
// the LF is dropped, and the last line may end at the end of the stream without a line end. Lines are views
// into one reused buffer, valid until the next call; nothing is allocated per line. A line longer than the
// reader's limit ends the reading as soon as that is known, so a stream without line feeds costs no more
// memory than the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

// What a reader does at a line longer than its limit: stop there, or give out the line's first lineLimit bytes
// and go on after its line end (for readers that must see every line, in bounded memory).
enum class LongLine { Stop, Cut };

class LineReader {
public:
  // lineLimit: the longest line, without its line end, that is given out.
  LineReader(std::istream& in, std::size_t lineLimit, LongLine atLongLine = LongLine::Stop);

  // The next line, or false at the end of the stream or on a read error. A line longer than the limit ends
  // the reading (false) or is cut to the limit, by the reader's LongLine.
  bool next(std::string_view& line);

  // Takes the next line as read without keeping it, however long it is: the buffer never grows for it. False
  // at the end of the stream (or on a read error) before any of it.
  bool skipLine();

  // With LongLine::Stop, whether the last false from next came from a line longer than the limit.
  bool lineTooLong() const { return lineTooLong_; }

  // The text read ahead and not yet taken as lines (possibly empty, possibly ending inside a line), always
  // followed by a NUL byte and then at least seven more readable bytes, for a caller that reads lines
  // straight from the buffer; skip(count) takes count of its bytes as read.
  std::string_view buffered() const { return std::string_view(buffer_.data() + begin_, end_ - begin_); }
  void skip(std::size_t count) { begin_ += count; }
  // Bytes of the stream taken as read so far: lines given out or skipped, and skip's counts.
  std::uint64_t taken() const { return readFromStream_ - (end_ - begin_); }

private:
  void refill();
  // At a line longer than the limit whose first bytes are at begin_: false (Stop), or true with line set to
  // them (Cut). lineEnd: just past the line's end, when that is in the buffer; otherwise the rest of the line
  // is skipped by the next call.
  bool atLongLine(std::string_view& line, std::optional<std::size_t> lineEnd);

  std::istream& in_;
  std::size_t lineLimit_;
  LongLine longLine_;
  std::string buffer_;
  std::size_t begin_ = 0;  // start of the unread text in buffer_
  std::size_t end_ = 0;    // end of the text read into buffer_
  std::uint64_t readFromStream_ = 0;
  bool exhausted_ = false;
  bool lineTooLong_ = false;
  bool restOfLineDue_ = false;  // a cut line's rest is still to be skipped
};

// The first line of a stream, read by the same rules, when it is no longer than lineLimit without its line end
// (CR LF or LF alike); otherwise, or for an empty stream, nothing. At most the longest such line and its CR LF
// are read, whatever the stream holds.
std::optional<std::string> readFirstLine(std::istream& in, std::size_t lineLimit);

// The same from any source of bytes: read(into, count) puts up to count bytes at into and says how many, fewer
// only at the source's end (or on a read error). For a file opened and judged by its handle, no stream need
// be made around it.
template <typename Read>
std::optional<std::string> readFirstLineFrom(Read&& read, std::size_t lineLimit) {
  // A header is a few dozen bytes: a small first read finds most, and only a longer line reads on, up to
  // the longest line with its CR LF.
  constexpr std::size_t firstRead = 256;
  const std::size_t most = lineLimit + 2;
  const std::size_t firstSize = most < firstRead ? most : firstRead;
  std::string prefix(firstSize, '\0');
  prefix.resize(read(prefix.data(), firstSize));
  std::size_t feed = prefix.find('\n');
  if (feed == std::string::npos && prefix.size() == firstSize && firstSize < most) {
    prefix.resize(most);
    prefix.resize(firstSize + read(prefix.data() + firstSize, most - firstSize));
    feed = prefix.find('\n', firstSize);
  }
  if (feed != std::string::npos) {
    prefix.resize(feed);
    if (!prefix.empty() && prefix.back() == '\r') prefix.pop_back();
  } else if (prefix.empty()) {
    return std::nullopt;
  }
  // Without a line feed the line ends at the end of the source, when that came within the bytes read (a CR at
  // its very end stays, since no LF follows it); when it did not, the bytes read already pass the limit.
  if (prefix.size() > lineLimit) return std::nullopt;
  return prefix;
}
