#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The personal method's walk: a start value of two digits, then one value per text byte.
using WalkValues = std::vector<std::int32_t>;

// The personal method's ciphertext, made only of the digits 0 to 9: the start value as two
// digits, then for every further value an optional sign mark "0" (where its sign differs from
// the value before it, zero counting as positive), a length digit d or 10 - d (d being the
// number of digits of its magnitude), and its magnitude.
using DigitString = std::string;

// Where the personal method's random draws come from: each call gives a non-negative integer,
// of which only the parity (and, for the start value, the remainder by 90) is used. A seeded
// Mt19937 is one; tests script their own.
template <class Draw>
concept DrawSource = std::invocable<Draw&> && std::unsigned_integral<std::invoke_result_t<Draw&>>;

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

// Writes the walk, whose start value lies in 10..99 and every value in -9999..9999, making one
// draw per value after the first: odd writes the length digit d, even writes 10 - d.
template <DrawSource Draw>
DigitString writeDigitString(const WalkValues& values, Draw&& draw) {
  if (values.empty()) {
    return {};
  }
  // Two digits for the start value, then at most a sign mark, a length digit and four digits.
  using digit_string_detail::signMark;
  using digit_string_detail::writeMagnitude;
  DigitString ctext(2 + 6 * (values.size() - 1), '\0');
  char* out = writeMagnitude(ctext.data(), static_cast<std::uint32_t>(values.front()));
  for (std::size_t s = 1; s < values.size(); ++s) {
    if ((values[s - 1] < 0) != (values[s] < 0)) {
      *out++ = signMark;
    }
    char* const lengthDigit = out++;
    out = writeMagnitude(out, static_cast<std::uint32_t>(std::abs(values[s])));
    const auto d = static_cast<int>(out - lengthDigit - 1);
    *lengthDigit = static_cast<char>('0' + (draw() % 2 == 1 ? d : 10 - d));
  }
  ctext.resize(static_cast<std::size_t>(out - ctext.data()));
  return ctext;
}

// Reads back the values of a string that writeDigitString made. Any other string gives some
// values, read without ever looking beyond its end.
WalkValues parseDigitString(std::string_view ctext);
