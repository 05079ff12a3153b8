#pragma once

#include <array>
#include <bit>
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

// A group takes at most a sign mark, a length digit and four digits. The writers store up to
// groupStore bytes wherever they write (a word, or a vector of two groups), so the room they
// write into needs that much more at its end; a group is read from groupLoad bytes.
inline constexpr std::size_t longestGroup = 6;
inline constexpr std::size_t startValueLength = 2;
inline constexpr std::size_t groupStore = 16;
inline constexpr std::size_t groupLoad = 8;

namespace digit_string_detail {

// Marks a value whose sign differs from the one before it.
inline constexpr char signMark = '0';

// The digits of each magnitude from 0 to 9999 as characters, most significant first, in the low
// bytes of a word read in little-endian order.
inline constexpr auto packedDigits = [] {
  std::array<std::uint32_t, 10000> packed{};
  for (std::uint32_t n = 0; n < packed.size(); ++n) {
    std::uint32_t count = 0;
    std::uint32_t reversed = 0;  // the digits, least significant first
    for (std::uint32_t rest = n; count == 0 || rest != 0; rest /= 10) {
      reversed = reversed << 8 | ('0' + rest % 10);
      ++count;
    }
    packed[n] = reversed;
  }
  return packed;
}();

// A magnitude of `digits` digits is announced by the length digit d for an odd draw and 10 - d
// for an even one.
constexpr char lengthDigitFor(std::uint32_t digits, bool odd) {
  return static_cast<char>('0' + (odd ? digits : 10 - digits));
}

// The digits that a length digit announces: k below 5, 10 - k above; none (0) for 0 and 5, which
// the writer never writes there, and for any other character.
constexpr std::uint32_t announcedDigits(char lengthDigit) {
  const int k = lengthDigit - '0';
  return k >= 1 && k <= 4   ? static_cast<std::uint32_t>(k)
         : k >= 6 && k <= 9 ? static_cast<std::uint32_t>(10 - k)
                            : 0;
}

constexpr std::uint32_t digitCount(std::uint32_t magnitude) {
  return 1 + static_cast<std::uint32_t>(magnitude >= 10) +
         static_cast<std::uint32_t>(magnitude >= 100) +
         static_cast<std::uint32_t>(magnitude >= 1000);
}

// The group of each magnitude from 0 to 9999 without its sign mark, for both forms of its
// length digit: at 2 m + 1 the form d (for an odd draw), at 2 m the form 10 - d. The low bytes
// hold the length digit and then the digits, in writing order; the top byte the group's length.
// A whole group is then one load: nothing is counted or chosen while writing.
inline constexpr auto packedGroups = [] {
  std::array<std::uint64_t, 2 * packedDigits.size()> groups{};
  for (std::size_t n = 0; n < packedDigits.size(); ++n) {
    const std::uint64_t d = digitCount(static_cast<std::uint32_t>(n));
    const std::uint64_t digitsAndLength = (1 + d) << 56 | std::uint64_t{packedDigits[n]} << 8;
    for (const bool odd : {false, true}) {
      groups[2 * n + (odd ? 1 : 0)] = digitsAndLength | static_cast<std::uint8_t>(lengthDigitFor(
                                                            static_cast<std::uint32_t>(d), odd));
    }
  }
  return groups;
}();

// Words in memory in little-endian order, on any machine.
template <class Word>
Word fromLittleEndian(Word word) {
  if constexpr (std::endian::native == std::endian::big) {
    if constexpr (sizeof(Word) == 8) {
      return __builtin_bswap64(word);
    } else {
      return __builtin_bswap32(word);
    }
  }
  return word;
}

inline void storeWord(char* out, std::uint64_t word) {
  word = fromLittleEndian(word);
  std::memcpy(out, &word, sizeof word);
}

inline std::uint32_t loadWord(const char* in) {
  std::uint32_t word = 0;
  std::memcpy(&word, in, sizeof word);
  return fromLittleEndian(word);
}

}  // namespace digit_string_detail

// Writes a start value of 10 to 99; returns the end. Stores a word of 8 bytes.
inline char* writeStartValue(char* out, std::int32_t start) {
  using namespace digit_string_detail;
  storeWord(out, packedDigits[static_cast<std::uint32_t>(start)]);
  return out + startValueLength;
}

// Writes the group of a value of -9999 to 9999 that follows `previous`, making one draw: odd
// writes the length digit d, even writes 10 - d. Returns the end. Stores a word of 8 bytes.
template <DrawSource Draw>
char* writeGroup(char* out, std::int32_t previous, std::int32_t value, Draw&& draw) {
  using namespace digit_string_detail;
  const auto magnitude = static_cast<std::uint32_t>(std::abs(value));
  const std::uint64_t group = packedGroups[std::size_t{2} * magnitude + draw() % 2];
  const bool marked = (previous < 0) != (value < 0);
  storeWord(out, marked ? group << 8 | static_cast<std::uint8_t>(signMark) : group);
  return out + static_cast<std::size_t>(marked) + (group >> 56);
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
constexpr ReadValue readStartValue(std::string_view digits) {
  if (digits.empty()) {
    return {Reading::cut, 0, 0};
  }
  if (digits[0] < '1' || digits[0] > '9') {
    return {Reading::refused, 0, 0};
  }
  if (digits.size() < startValueLength) {
    return {Reading::cut, 0, 0};
  }
  if (digits[1] < '0' || digits[1] > '9') {
    return {Reading::refused, 0, 0};
  }
  return {Reading::complete, startValueLength, (digits[0] - '0') * 10 + (digits[1] - '0')};
}

namespace digit_string_detail {

// announcedDigits of every character, indexed by the character as unsigned char.
inline constexpr std::array<std::uint8_t, 256> announcedLength = [] {
  std::array<std::uint8_t, 256> lengths{};
  for (std::size_t c = 0; c < lengths.size(); ++c) {
    lengths[c] = static_cast<std::uint8_t>(announcedDigits(static_cast<char>(c)));
  }
  return lengths;
}();

// Reads a magnitude of `length` digits as the writer writes it: only digits, and no leading zero
// unless it is the single digit 0. False for any other characters.
template <std::uint32_t length>
bool readMagnitude(const char* digits, std::int32_t& magnitude) {
  constexpr std::uint32_t kept = 0xFFFFFFFFU >> (8 * (4 - length));  // the low `length` bytes
  constexpr std::uint32_t zeros = 0x30303030U & kept;
  constexpr std::uint32_t highNibbles = 0xF0F0F0F0U & kept;
  const std::uint32_t characters = loadWord(digits) & kept;
  // A digit's high nibble is 3, and stays 3 when 6 is added.
  const bool allDigits = (characters & highNibbles) == zeros &&
                         ((characters + (0x06060606U & kept)) & highNibbles) == zeros;
  // The values moved to the high bytes, then paired up: 10 a + b and 10 c + d, then 100 ab + cd.
  std::uint32_t values = (characters - zeros) << (8 * (4 - length));
  values = values * 10 + (values >> 8);
  magnitude = static_cast<std::int32_t>((values & 0xFF) * 100 + ((values >> 16) & 0xFF));
  return allDigits && (length == 1 || digits[0] != '0');
}

inline constexpr std::uint32_t longestMagnitude = 4;

// The same for a length of 1 to `longest` that is known only at run time, each on a branch of
// its own. False for any other length.
template <std::uint32_t longest>
bool readMagnitudeOfLength(const char* digits, std::size_t length, std::int32_t& magnitude) {
  if constexpr (longest == 0) {
    return false;
  } else {
    if (length == longest) {
      return readMagnitude<longest>(digits, magnitude);
    }
    return readMagnitudeOfLength<longest - 1>(digits, length, magnitude);
  }
}

}  // namespace digit_string_detail

// Reads the group that begins at `group` and follows the value `previous`, where the eight bytes
// from `group` on may be read. Never cut: the bytes that follow are taken as they are. The sign
// mark and each length are branches of their own, so that where the next group begins follows
// from the branches taken (which the processor predicts) rather than from the characters
// loaded; the next group need not wait for them.
inline ReadValue readGroupAt(const char* group, std::int32_t previous) {
  using namespace digit_string_detail;
  bool negative = previous < 0;
  const char* lengthDigit = group;
  if (*group == signMark) [[unlikely]] {
    negative = !negative;
    ++lengthDigit;
  }
  const std::size_t length = announcedLength[static_cast<unsigned char>(*lengthDigit)];
  std::int32_t magnitude = 0;
  const bool valid = readMagnitudeOfLength<longestMagnitude>(lengthDigit + 1, length, magnitude);
  if (!valid || (magnitude == 0 && negative)) {
    return {Reading::refused, 0, 0};
  }
  return {Reading::complete, static_cast<std::size_t>(lengthDigit - group) + 1 + length,
          negative ? -magnitude : magnitude};
}

// Reads the group at the front of `digits` that follows the value `previous`.
ReadValue readGroup(std::string_view digits, std::int32_t previous);

// Whether a character begins a line end.
constexpr bool beginsLineEnd(char c) {
  return c == '\n' || c == '\r';
}

// Reads the line end at the front of `digits`, which begins with one: LF, or CR LF.
constexpr ReadValue readLineEnd(std::string_view digits) {
  if (digits[0] == '\n') {
    return {Reading::complete, 1, 0};
  }
  if (digits.size() < 2) {
    return {Reading::cut, 0, 0};
  }
  return digits[1] == '\n' ? ReadValue{Reading::complete, 2, 0} : ReadValue{Reading::refused, 0, 0};
}
