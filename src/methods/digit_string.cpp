#include "digit_string.hpp"

#include <algorithm>

namespace {

using digit_string_detail::announcedLength;
using digit_string_detail::signMark;

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
    return cut;
  }
  // The group, or what refuses it, padded to the eight bytes that readGroupAt may read.
  std::array<char, groupStore> padded{};
  std::copy_n(digits.begin(), std::min(end, digits.size()), padded.begin());
  return readGroupAt(padded.data(), previous);
}
