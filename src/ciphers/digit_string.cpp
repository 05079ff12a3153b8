#include "digit_string.hpp"

#include <algorithm>

namespace {

constexpr char signMark = '0';

// Characters that are not digits get values outside 0..9; the parser only has to stay in bounds.
int digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise; a character
// that is no digit announces none.
std::size_t announcedLength(char lengthDigit) {
  const int k = digitValue(lengthDigit);
  return static_cast<std::size_t>(std::max(k < 5 ? k : 10 - k, 0));
}

std::int32_t readMagnitude(const char* digits, std::size_t length) {
  std::int32_t magnitude = 0;
  for (std::size_t i = 0; i < length; ++i) {
    magnitude = magnitude * 10 + digitValue(digits[i]);
  }
  return magnitude;
}

}  // namespace

WalkValues parseDigitString(std::string_view ctext) {
  if (ctext.size() < 2) {
    return {};
  }
  WalkValues values;
  // Every group takes at least two characters: a length digit and one digit of magnitude.
  values.reserve(ctext.size() / 2);
  values.push_back(digitValue(ctext[0]) * 10 + digitValue(ctext[1]));
  bool negative = false;
  const char* p = ctext.data() + 2;
  const char* const last = ctext.data() + ctext.size() - 1;
  while (p < last) {
    if (*p == signMark) {
      negative = !negative;
      ++p;
    }
    const std::size_t length = std::min(announcedLength(*p), static_cast<std::size_t>(last - p));
    const std::int32_t magnitude = readMagnitude(p + 1, length);
    values.push_back(negative ? -magnitude : magnitude);
    p += length + 1;
  }
  return values;
}
