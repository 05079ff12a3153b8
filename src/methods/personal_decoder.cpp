#include "personal_decoder.hpp"

#include <algorithm>
#include <cstdlib>

#include "personal_walk.hpp"

// Writes the line end at the front of `digits` as it stands, LF or CR LF.
Reading PersonalDecoder::takeLineEnd(std::string_view digits, std::size_t& length, char*& out) {
  const ReadValue lineEnd = readLineEnd(digits);
  if (lineEnd.reading != Reading::complete) {
    return lineEnd.reading;
  }
  out = std::copy_n(digits.data(), lineEnd.length, out);
  length = lineEnd.length;
  inLine_ = false;
  ++linesEnded_;
  return Reading::complete;
}

// Reads the start value, a group or a line end at the front of `digits` and writes what it
// gives: a group its byte, a line end the same line end.
Reading PersonalDecoder::readPiece(std::string_view digits, std::size_t& length, char*& out) {
  if (!inLine_) {
    const ReadValue start = readStartValue(digits);
    if (start.reading == Reading::complete) {
      last_ = start.value;
      length = start.length;
      inLine_ = true;
      bareStart_ = true;
    }
    return start.reading;
  }
  if (beginsLineEnd(digits[0])) {
    return takeLineEnd(digits, length, out);
  }
  const ReadValue group = readGroup(digits, last_);
  if (group.reading != Reading::complete) {
    return group.reading;
  }
  const std::int32_t step = std::abs(group.value - last_);
  if (step > longestStep) {
    return Reading::refused;
  }
  *out++ = static_cast<char>(step);
  last_ = group.value;
  length = group.length;
  bareStart_ = false;
  return Reading::complete;
}

// Deciphers the groups of a line while eight bytes are left to read, and stops before whatever
// is not a group (a line end, or what the careful reading has to refuse). Where the processor
// reads windows of groups, whole windows go first, and lines after them; one group is read
// carefully wherever they stop, and then they go on.
char* PersonalDecoder::decodeGroups(std::string_view& digits, char* out) {
  const char* p = digits.data();
  const char* const end = p + digits.size();
  std::int32_t last = last_;
  const auto windows = kernels_->decodeGroupWindows;
  while (end - p >= static_cast<std::ptrdiff_t>(groupLoad)) {
    if (windows != nullptr) {
      GroupReading reading{last, out, linesEnded_};
      const char* const from = p;
      p = windows(p, end, reading);
      last = reading.last;
      out = reading.out;
      if (p != from) {
        // The windows take a line end only with the start value after it: where they stopped
        // just after one, the line holds nothing else yet.
        bareStart_ = reading.linesEnded != linesEnded_ && p[-3] == '\n';
      }
      linesEnded_ = reading.linesEnded;
      if (end - p < static_cast<std::ptrdiff_t>(groupLoad)) {
        break;
      }
    }
    const ReadValue group = readGroupAt(p, last);
    const std::int32_t step = std::abs(group.value - last);
    if (group.reading != Reading::complete || step > longestStep) {
      break;
    }
    *out++ = static_cast<char>(step);
    last = group.value;
    p += group.length;
    bareStart_ = false;
  }
  last_ = last;
  digits.remove_prefix(static_cast<std::size_t>(p - digits.data()));
  return out;
}

char* PersonalDecoder::decode(std::string_view digits, char* out) {
  // A piece cut at the last edge is completed a character at a time: it needs a few at most.
  while (carried_ > 0 && !digits.empty() && !refused_) {
    carry_[carried_++] = digits.front();
    digits.remove_prefix(1);
    std::size_t length = 0;
    const Reading reading = readPiece({carry_.data(), carried_}, length, out);
    refused_ = reading == Reading::refused;
    if (reading == Reading::complete) {
      carried_ = 0;
    }
  }
  while (!digits.empty() && !refused_) {
    if (inLine_) {
      out = decodeGroups(digits, out);
      if (digits.empty()) {
        break;
      }
    }
    std::size_t length = 0;
    const Reading reading = readPiece(digits, length, out);
    if (reading == Reading::cut) {
      std::copy(digits.begin(), digits.end(), carry_.begin());
      carried_ = digits.size();
      break;
    }
    refused_ = reading == Reading::refused;
    digits.remove_prefix(length);
  }
  return out;
}

std::optional<std::string> decipherPersonal(std::string_view digits) {
  std::string text(digits.size() + 2, '\0');
  PersonalDecoder decoder;
  const char* end = decoder.decode(digits, text.data());
  if (!decoder.endsWhole()) {
    return std::nullopt;
  }
  text.resize(static_cast<std::size_t>(end - text.data()));
  return text;
}
