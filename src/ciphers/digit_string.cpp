#include "digit_string.hpp"

#include <algorithm>
#include <array>

namespace {

using digit_string_detail::signMark;

// Characters that are not digits get values outside 0..9; the parser only has to stay in bounds.
int digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise, so at most
// five; a character that is no digit announces none. Indexed by the character as unsigned char.
constexpr std::array<std::uint8_t, 256> announcedLength = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (int k = 0; k <= 9; ++k) {
    lengths['0' + k] = static_cast<std::uint8_t>(k < 5 ? k : 10 - k);
  }
  return lengths;
}();
constexpr std::size_t longestAnnounced = 5;  // the writer's magnitudes have at most four digits

// Reads the magnitude of `length` digits at `digits` into magnitude; returns their end.
template <std::size_t length>
const char* readMagnitude(const char* digits, std::int32_t& magnitude) {
  magnitude = 0;
  for (std::size_t i = 0; i < length; ++i) {
    magnitude = magnitude * 10 + digitValue(digits[i]);
  }
  return digits + length;
}

// The same for a length of 0 to `longest` that is known only at run time. Each length is read on a
// branch of its own, so that the end follows from the branch taken (which the processor
// predicts) rather than from the loaded length digit; the next group need not wait for it.
template <std::size_t longest>
const char* readMagnitudeUpTo(const char* digits, std::size_t length, std::int32_t& magnitude) {
  if constexpr (longest == 0) {
    return readMagnitude<0>(digits, magnitude);
  } else {
    if (length == longest) {
      return readMagnitude<longest>(digits, magnitude);
    }
    return readMagnitudeUpTo<longest - 1>(digits, length, magnitude);
  }
}

}  // namespace

WalkValues parseDigitString(std::string_view ctext) {
  if (ctext.size() < 2) {
    return {};
  }
  // Every group takes at least one character, its length digit; the writer's take two or more.
  WalkValues values;
  values.reserve(ctext.size() - 1);
  values.push_back(digitValue(ctext[0]) * 10 + digitValue(ctext[1]));
  bool negative = false;
  const char* p = ctext.data() + 2;
  const char* const last = ctext.data() + ctext.size() - 1;
  while (p < last) {
    if (*p == signMark) {
      negative = !negative;
      ++p;
    }
    const std::size_t announced = announcedLength[static_cast<unsigned char>(*p)];
    const std::size_t length = std::min(announced, static_cast<std::size_t>(last - p));
    std::int32_t magnitude = 0;
    p = readMagnitudeUpTo<longestAnnounced>(p + 1, length, magnitude);
    values.push_back(negative ? -magnitude : magnitude);
  }
  return values;
}
