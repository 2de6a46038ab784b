#include "library/ghostfile/LineReader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t chunkSize = 1 << 16;

std::string_view withoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The buffer's last bytes are never read into: they keep room for the NUL after the text and the bytes a
// reader of whole words may look at past it.
constexpr std::size_t padding = 8;

}  // namespace

LineReader::LineReader(std::istream& in, std::size_t lineLimit, LongLine atLongLine)
    : in_(in), lineLimit_(lineLimit), longLine_(atLongLine), buffer_(chunkSize + padding, '\0') {}

bool LineReader::next(std::string_view& line) {
  if (restOfLineDue_) {
    restOfLineDue_ = false;
    if (!skipLine()) return false;
  }
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const void* feed = std::memchr(start, '\n', end_ - begin_);
    if (feed != nullptr) {
      const auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - start);
      line = withoutCarriageReturn(std::string_view(start, length));
      if (line.size() > lineLimit_) return atLongLine(line, begin_ + length + 1);
      begin_ += length + 1;
      return true;
    }
    // More than the limit and a CR without a line feed: too long, however the line goes on.
    const std::size_t pending = end_ - begin_;
    if (pending > lineLimit_ && pending - lineLimit_ > 1) return atLongLine(line, std::nullopt);
    if (exhausted_) {
      if (begin_ == end_) return false;
      // The last line has no line end; a CR at its very end stays, since no LF follows it.
      line = std::string_view(start, end_ - begin_);
      if (line.size() > lineLimit_) return atLongLine(line, end_);
      begin_ = end_;
      return true;
    }
    refill();
  }
}

bool LineReader::skipLine() {
  bool any = false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const void* feed = std::memchr(start, '\n', end_ - begin_);
    if (feed != nullptr) {
      begin_ += static_cast<std::size_t>(static_cast<const char*>(feed) - start) + 1;
      return true;
    }
    // No line feed yet: what was read of the line is dropped, so the refill starts an empty buffer.
    any = any || begin_ < end_;
    begin_ = end_;
    if (exhausted_) return any;
    refill();
  }
}

bool LineReader::atLongLine(std::string_view& line, std::optional<std::size_t> lineEnd) {
  if (longLine_ == LongLine::Stop) {
    lineTooLong_ = true;
    begin_ = end_;
    exhausted_ = true;
    return false;
  }
  line = std::string_view(buffer_.data() + begin_, lineLimit_);
  if (lineEnd) {
    begin_ = *lineEnd;
  } else {
    begin_ += lineLimit_;
    restOfLineDue_ = true;
  }
  return true;
}

void LineReader::refill() {
  // Keep the unfinished line at the front, and grow only for a line longer than the buffer.
  const std::size_t pending = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, pending);
    begin_ = 0;
    end_ = pending;
  }
  if (end_ + padding == buffer_.size()) buffer_.resize((buffer_.size() - padding) * 2 + padding);
  in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - padding - end_));
  const std::streamsize got = in_.gcount();
  end_ += static_cast<std::size_t>(got);
  readFromStream_ += static_cast<std::uint64_t>(got);
  buffer_[end_] = '\0';
  if (got == 0 || !in_) exhausted_ = true;
}

std::optional<std::string> readFirstLine(std::istream& in, std::size_t lineLimit) {
  return readFirstLineFrom(
      [&in](char* into, std::size_t count) {
        in.read(into, static_cast<std::streamsize>(count));
        return static_cast<std::size_t>(in.gcount());
      },
      lineLimit);
}
