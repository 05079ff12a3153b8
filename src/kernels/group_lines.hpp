#pragma once

#include <algorithm>
#include <cstddef>

#include "digit_string.hpp"
#include "kernels.hpp"

// What the kernels that read windows of groups share, whatever their vectors' width.
namespace group_lines {

// Whether the digit of value k is one the writer writes as a length digit.
constexpr bool isLengthDigit(std::size_t k) {
  return digit_string_detail::announcedDigits(static_cast<char>('0' + k)) != 0;
}

// The length of a magnitude by its length digit's value k; 1 where k is no length digit, which
// refuses the group.
constexpr std::size_t magnitudeLength(std::size_t k) {
  return isLengthDigit(k) ? digit_string_detail::announcedDigits(static_cast<char>('0' + k)) : 1;
}

// Reads the line end at `at` and the next line's start value where both are whole and the
// writer can write them, as the careful reading takes them; returns where they end, or `at`
// itself where they are not (the careful reading then judges them). `at` is before `end`.
inline const char* readLineStart(const char* at, const char* end, GroupReading& reading) {
  const ReadValue lineEnd = readLineEnd({at, static_cast<std::size_t>(end - at)});
  if (lineEnd.reading != Reading::complete) {
    return at;
  }
  const char* const start = at + lineEnd.length;
  const ReadValue value = readStartValue({start, static_cast<std::size_t>(end - start)});
  if (value.reading != Reading::complete) {
    return at;
  }
  reading.out = std::copy_n(at, lineEnd.length, reading.out);
  ++reading.linesEnded;
  reading.last = value.value;
  return start + value.length;
}

}  // namespace group_lines
