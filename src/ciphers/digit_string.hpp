#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

// The personal method's ciphertext, made only of the digits 0 to 9: the start value of the walk
// as two digits, then for every further value a group: an optional sign mark "0" (where its sign
// differs from the value before it, zero counting as positive), a length digit d or 10 - d (d
// being the number of digits of its magnitude), and its magnitude.
using DigitString = std::string;

// Where the personal method's random draws come from: each call gives a non-negative integer,
// of which only the parity (and, for the start value, the remainder by 90) is used. A seeded
// Mt19937 is one; tests script their own.
template <class Draw>
concept DrawSource = std::invocable<Draw&> && std::unsigned_integral<std::invoke_result_t<Draw&>>;

// A group takes at most a sign mark, a length digit and four digits.
inline constexpr std::size_t longestGroup = 6;
inline constexpr std::size_t startValueLength = 2;

namespace digit_string_detail {

// Marks a value whose sign differs from the one before it.
inline constexpr char signMark = '0';

// "00" to "99", two characters each.
inline constexpr std::array<char, 200> digitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t n = 0; n < 100; ++n) {
    pairs[2 * n] = static_cast<char>('0' + n / 10);
    pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
  }
  return pairs;
}();

inline char* writePair(char* out, std::uint32_t n) {
  std::memcpy(out, &digitPairs[std::size_t{2} * n], 2);
  return out + 2;
}

// Writes a magnitude of 0 to 9999 in decimal, without leading zeros; returns the end.
inline char* writeMagnitude(char* out, std::uint32_t magnitude) {
  if (magnitude < 10) {
    *out = static_cast<char>('0' + magnitude);
    return out + 1;
  }
  if (magnitude < 100) {
    return writePair(out, magnitude);
  }
  if (magnitude < 1000) {
    *out = static_cast<char>('0' + magnitude / 100);
    return writePair(out + 1, magnitude % 100);
  }
  return writePair(writePair(out, magnitude / 100), magnitude % 100);
}

}  // namespace digit_string_detail

// Writes a start value of 10 to 99; returns the end.
inline char* writeStartValue(char* out, std::int32_t start) {
  return digit_string_detail::writePair(out, static_cast<std::uint32_t>(start));
}

// Writes the group of a value of -9999 to 9999 that follows `previous`, making one draw: odd
// writes the length digit d, even writes 10 - d. Returns the end.
template <DrawSource Draw>
char* writeGroup(char* out, std::int32_t previous, std::int32_t value, Draw&& draw) {
  using digit_string_detail::signMark;
  if ((previous < 0) != (value < 0)) {
    *out++ = signMark;
  }
  char* const lengthDigit = out++;
  out = digit_string_detail::writeMagnitude(out, static_cast<std::uint32_t>(std::abs(value)));
  const auto d = static_cast<int>(out - lengthDigit - 1);
  *lengthDigit = static_cast<char>('0' + (draw() % 2 == 1 ? d : 10 - d));
  return out;
}

// What reading a piece of a digit string found. A piece is taken only as the writer writes
// it: no other digit, no leading zero, no negative zero. `cut` says that the characters given
// are a correct beginning of a piece, or at least do not yet show that they are not one.
enum class Reading { complete, cut, refused };

struct ReadValue {
  Reading reading;
  std::size_t length;  // of a complete piece
  std::int32_t value;
};

// Reads the start value, two digits from 10 to 99, at the front of `digits`.
ReadValue readStartValue(std::string_view digits);

// Reads the group at the front of `digits` that follows the value `previous`.
ReadValue readGroup(std::string_view digits, std::int32_t previous);
