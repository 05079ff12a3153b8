#include "digit_string.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr char signMark = '0';

// Characters that are not digits get values outside 0..9; the parser only has to stay in bounds.
int digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise; a character
// that is no digit announces none. Indexed by the character as unsigned char.
constexpr std::array<std::uint8_t, 256> announcedLength = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (int k = 0; k <= 9; ++k) {
    lengths['0' + k] = static_cast<std::uint8_t>(k < 5 ? k : 10 - k);
  }
  return lengths;
}();

std::int32_t readMagnitude(const char* digits, std::size_t length) {
  std::int32_t magnitude = 0;
  for (const char* const end = digits + length; digits != end; ++digits) {
    magnitude = magnitude * 10 + digitValue(*digits);
  }
  return magnitude;
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
    const std::int32_t magnitude = readMagnitude(p + 1, length);
    values.push_back(negative ? -magnitude : magnitude);
    p += 1 + length;
  }
  return values;
}
