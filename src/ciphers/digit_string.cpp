#include "ciphers/digit_string.hpp"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

constexpr char signMark = '0';

bool isOdd(std::uint32_t draw) {
  return draw % 2 == 1;
}

int decimalDigits(std::int32_t magnitude) {
  int digits = 1;
  for (; magnitude >= 10; magnitude /= 10) {
    ++digits;
  }
  return digits;
}

// Characters that are not digits get values outside 0..9; the parser only has to stay in bounds.
int digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise.
int magnitudeLength(int lengthDigit) {
  return lengthDigit < 5 ? lengthDigit : 10 - lengthDigit;
}

std::int32_t readMagnitude(std::string_view digits) {
  std::int32_t magnitude = 0;
  for (const char c : digits) {
    magnitude = magnitude * 10 + digitValue(c);
  }
  return magnitude;
}

}  // namespace

DigitString writeDigitString(const WalkValues& values, const Draw& draw) {
  if (values.empty()) {
    return {};
  }
  std::ostringstream ss;
  ss << values.front();
  for (std::size_t s = 1; s < values.size(); ++s) {
    if ((values[s - 1] < 0) != (values[s] < 0)) {
      ss.put(signMark);
    }
    const std::int32_t magnitude = std::abs(values[s]);
    const int d = decimalDigits(magnitude);
    ss.put(static_cast<char>('0' + (isOdd(draw()) ? d : 10 - d)));
    ss << magnitude;
  }
  return std::move(ss).str();
}

WalkValues parseDigitString(std::string_view ctext) {
  if (ctext.size() < 2) {
    return {};
  }
  WalkValues values{digitValue(ctext[0]) * 10 + digitValue(ctext[1])};
  bool negative = false;
  // Every group takes at least two characters: a length digit and one digit of magnitude.
  for (std::size_t p = 2; p + 1 < ctext.size();) {
    if (ctext[p] == signMark) {
      negative = !negative;
      ++p;
    }
    const int announced = magnitudeLength(digitValue(ctext[p]));
    const std::size_t length =
        std::min(static_cast<std::size_t>(std::max(announced, 0)), ctext.size() - p - 1);
    const std::int32_t magnitude = readMagnitude(ctext.substr(p + 1, length));
    values.push_back(negative ? -magnitude : magnitude);
    p += length + 1;
  }
  return values;
}
