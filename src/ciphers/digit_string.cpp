#include "digit_string.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr char signMark = '0';

// Characters that are not digits get values outside 0..9; the parser only has to stay in bounds.
int digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise (so 0 to 5); a
// character that is no digit announces none. Indexed by the character as unsigned char.
constexpr std::array<std::uint8_t, 256> announcedLength = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (int k = 0; k <= 9; ++k) {
    lengths['0' + k] = static_cast<std::uint8_t>(k < 5 ? k : 10 - k);
  }
  return lengths;
}();

// Reads the magnitude of `length` digits at `digits` into magnitude; returns their end.
template <std::size_t length>
const char* readMagnitude(const char* digits, std::int32_t& magnitude) {
  magnitude = 0;
  for (std::size_t i = 0; i < length; ++i) {
    magnitude = magnitude * 10 + digitValue(digits[i]);
  }
  return digits + length;
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
    std::int32_t magnitude = 0;
    // One branch per length, so that the next group's start follows from the branch taken
    // (which the processor predicts) rather than from the loaded length digit.
    switch (std::min(announced, static_cast<std::size_t>(last - p))) {
      case 5:  // the writer's never: its magnitudes have at most four digits
        p = readMagnitude<5>(p + 1, magnitude);
        break;
      case 4:
        p = readMagnitude<4>(p + 1, magnitude);
        break;
      case 3:
        p = readMagnitude<3>(p + 1, magnitude);
        break;
      case 2:
        p = readMagnitude<2>(p + 1, magnitude);
        break;
      case 1:
        p = readMagnitude<1>(p + 1, magnitude);
        break;
      default:
        p = readMagnitude<0>(p + 1, magnitude);
        break;
    }
    values.push_back(negative ? -magnitude : magnitude);
  }
  return values;
}
