#include "digit_string.hpp"

#include <algorithm>

namespace {

using digit_string_detail::announcedLength;
using digit_string_detail::signMark;

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr ReadValue cut{Reading::cut, 0, 0};

}  // namespace

ReadValue readGroup(std::string_view digits, std::int32_t previous) {
  const std::size_t marked = !digits.empty() && digits[0] == signMark ? 1 : 0;
  if (digits.size() <= marked) {
    return cut;
  }
  const std::size_t length = announcedLength[static_cast<unsigned char>(digits[marked])];
  const std::size_t end = marked + 1 + length;
  if (length != 0 && digits.size() < end) {
    // A character that is no digit refuses the group at once, in the piece of input that holds
    // it, rather than when the rest of the group has been read.
    const bool digitsSoFar = std::all_of(digits.begin() + 1 + marked, digits.end(), isDigit);
    return digitsSoFar ? cut : ReadValue{Reading::refused, 0, 0};
  }
  // The group, or what refuses it, padded to the eight bytes that readGroupAt may read.
  std::array<char, groupLoad> padded{};
  std::copy_n(digits.begin(), std::min(end, digits.size()), padded.begin());
  return readGroupAt(padded.data(), previous);
}
