#include "digit_string.hpp"

namespace {

using digit_string_detail::signMark;

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr std::int32_t digitValue(char c) {
  return c - '0';
}

// The length digit k announces k digits when below 5 and 10 - k digits otherwise; 0 and 5,
// which the writer never writes there, and every other character announce none. Indexed by the
// character as unsigned char.
constexpr std::array<std::uint8_t, 256> announcedLength = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (int k = 1; k <= 9; ++k) {
    lengths['0' + k] = static_cast<std::uint8_t>(k < 5 ? k : k > 5 ? 10 - k : 0);
  }
  return lengths;
}();

constexpr ReadValue refused{Reading::refused, 0, 0};
constexpr ReadValue cut{Reading::cut, 0, 0};

// Reads a magnitude of `length` digits as the writer writes it: only digits, and no leading zero
// unless it is the single digit 0. Nothing for any other characters.
template <std::size_t length>
bool readMagnitude(const char* digits, std::int32_t& magnitude) {
  if (length > 1 && digits[0] == '0') {
    return false;
  }
  bool allDigits = true;
  magnitude = 0;
  for (std::size_t i = 0; i < length; ++i) {
    allDigits &= isDigit(digits[i]);
    magnitude = magnitude * 10 + digitValue(digits[i]);
  }
  return allDigits;
}

bool readMagnitudeOf(const char* digits, std::size_t length, std::int32_t& magnitude) {
  switch (length) {
    case 1:
      return readMagnitude<1>(digits, magnitude);
    case 2:
      return readMagnitude<2>(digits, magnitude);
    case 3:
      return readMagnitude<3>(digits, magnitude);
    default:
      return readMagnitude<4>(digits, magnitude);
  }
}

}  // namespace

ReadValue readStartValue(std::string_view digits) {
  if (digits.empty()) {
    return cut;
  }
  if (digits[0] < '1' || digits[0] > '9') {
    return refused;
  }
  if (digits.size() < startValueLength) {
    return cut;
  }
  if (!isDigit(digits[1])) {
    return refused;
  }
  return {Reading::complete, startValueLength, digitValue(digits[0]) * 10 + digitValue(digits[1])};
}

ReadValue readGroup(std::string_view digits, std::int32_t previous) {
  bool negative = previous < 0;
  std::size_t at = 0;
  if (!digits.empty() && digits[0] == signMark) {
    negative = !negative;
    at = 1;
  }
  if (digits.size() <= at) {
    return cut;
  }
  const std::size_t length = announcedLength[static_cast<unsigned char>(digits[at])];
  if (length == 0) {
    return refused;
  }
  const std::size_t end = at + 1 + length;
  if (digits.size() < end) {
    return cut;
  }
  std::int32_t magnitude = 0;
  if (!readMagnitudeOf(digits.data() + at + 1, length, magnitude) || (magnitude == 0 && negative)) {
    return refused;
  }
  return {Reading::complete, end, negative ? -magnitude : magnitude};
}
