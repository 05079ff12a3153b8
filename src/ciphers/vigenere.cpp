#include "vigenere.hpp"

#include <cstdint>
#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CIPHERS_VIGENERE_BLOCKS 1
#endif

#include "ascii.hpp"

namespace {

using ShiftTable = std::array<std::array<char, 256>, alphabetSize>;

// For each key row, every byte as enciphered under it: a letter upper-cased and looked up in the
// matrix, any other byte unchanged. Indexed by the byte as unsigned char.
constexpr ShiftTable shiftTable = [] {
  ShiftTable table{};
  for (std::size_t row = 0; row < alphabetSize; ++row) {
    for (std::size_t byte = 0; byte < 256; ++byte) {
      const char c = toAsciiUpper(static_cast<char>(byte));
      table[row][byte] = isAsciiUpper(c) ? vigenere[row][static_cast<std::size_t>(c - 'A')] : c;
    }
  }
  return table;
}();

constexpr auto letterTable = [] {
  std::array<std::uint8_t, 256> letters{};
  for (std::size_t byte = 0; byte < 256; ++byte) {
    letters[byte] = isAsciiLetter(static_cast<char>(byte)) ? 1 : 0;
  }
  return letters;
}();

// Maps every byte in place, in blocks of a fixed length, which the compiler makes vector code.
template <class Map>
void mapBytes(std::span<char> text, Map map) {
  constexpr std::size_t length = 32;
  for (; text.size() >= length; text = text.subspan(length)) {
    for (char& c : text.first<length>()) {
      c = map(c);
    }
  }
  for (char& c : text) {
    c = map(c);
  }
}

#ifdef CIPHERS_VIGENERE_BLOCKS
bool hasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3") != 0;
  return has;
}

// Shifts the text's whole blocks of 16 bytes at once; returns how many bytes it shifted, and
// moves `position` on by the letters among them. Within a block, each letter's key letter is the
// one at its count of letters before it, which a byte shuffle picks out of the 16 due next.
__attribute__((target("ssse3"))) std::size_t shiftBlocks(std::span<char> text, const char* shifts,
                                                         std::size_t period,
                                                         std::size_t& position) {
  const __m128i caseBit = _mm_set1_epi8(0x20);
  const __m128i lastLetter = _mm_set1_epi8(alphabetSize - 1);
  std::size_t done = 0;
  for (; text.size() - done >= VigenereStream::block; done += VigenereStream::block) {
    char* const at = text.data() + done;
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    // Clearing the 0x20 bit maps the small letters onto the capitals, and no other byte.
    const __m128i letter = _mm_sub_epi8(_mm_andnot_si128(caseBit, bytes), _mm_set1_epi8('A'));
    const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, lastLetter), letter);
    const __m128i ones = _mm_and_si128(isLetter, _mm_set1_epi8(1));
    __m128i counted = _mm_add_epi8(ones, _mm_slli_si128(ones, 1));
    counted = _mm_add_epi8(counted, _mm_slli_si128(counted, 2));
    counted = _mm_add_epi8(counted, _mm_slli_si128(counted, 4));
    counted = _mm_add_epi8(counted, _mm_slli_si128(counted, 8));
    const __m128i due = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shifts + position));
    const __m128i keyShift = _mm_shuffle_epi8(due, _mm_sub_epi8(counted, ones));
    __m128i shifted = _mm_add_epi8(letter, keyShift);
    shifted = _mm_sub_epi8(
        shifted, _mm_and_si128(_mm_cmpgt_epi8(shifted, lastLetter), _mm_set1_epi8(alphabetSize)));
    const __m128i enciphered = _mm_add_epi8(shifted, _mm_set1_epi8('A'));
    const __m128i result =
        _mm_or_si128(_mm_and_si128(isLetter, enciphered), _mm_andnot_si128(isLetter, bytes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), result);
    // The last lane counted every letter of the block.
    position += static_cast<std::size_t>(_mm_extract_epi16(counted, 7)) >> 8;
    if (position >= period) {
      position -= period;
    }
  }
  return done;
}
#endif

}  // namespace

bool isVigenereKey(std::string_view key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), isAsciiLetter);
}

VigenereStream::VigenereStream(std::string_view key) {
  if (!isVigenereKey(key)) {
    throw std::invalid_argument("a Vigenere key is one or more of the letters A-Z and a-z");
  }
  // The key repeated to a period of at least a block, and then a block more: a block of letters
  // finds its key letters in a row from any position within the period.
  period_ = key.size() * ((block + key.size() - 1) / key.size());
  for (std::size_t i = 0; i < period_ + block; ++i) {
    const int row = toAsciiUpper(key[i % key.size()]) - 'A';
    encipherShifts_.push_back(static_cast<char>(row));
    decipherShifts_.push_back(static_cast<char>((alphabetSize - row) % alphabetSize));
  }
}

void VigenereStream::shift(std::span<char> text, const std::string& shifts) {
  std::size_t done = 0;
#ifdef CIPHERS_VIGENERE_BLOCKS
  if (hasSsse3()) {
    done = shiftBlocks(text, shifts.data(), period_, position_);
  }
#endif
  std::size_t position = position_;
  for (char& c : text.subspan(done)) {
    const auto byte = static_cast<unsigned char>(c);
    c = shiftTable[static_cast<std::size_t>(shifts[position])][byte];
    position += letterTable[byte];
    if (position == period_) {
      position = 0;
    }
  }
  position_ = position;
}

// Enciphering the letter A under a key letter gives the key letter.
void VigenereStream::showKeyLetters(std::span<char> text) {
  mapBytes(text, [](char c) { return isAsciiLetter(c) ? 'A' : c; });
  encipher(text);
}

bool holdsLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), isAsciiLetter);
}

bool acceptsKey(std::string_view text, std::string_view key) {
  return !holdsLetter(text) || isVigenereKey(key);
}

VigenereRows encipherVigenere(std::string_view text, std::string_view key) {
  if (!acceptsKey(text, key)) {
    throw std::invalid_argument("the key cannot encipher this text");
  }
  std::string unchanged(text);
  if (!holdsLetter(text)) {
    return {unchanged, unchanged, unchanged, unchanged};
  }
  VigenereRows rows{unchanged, unchanged, unchanged, {}};
  mapBytes(rows.plaintext, toAsciiUpper);
  VigenereStream stream(key);
  stream.showKeyLetters(rows.keyletter);
  stream.restart();
  stream.encipher(rows.ciphertext);
  rows.decrypttext = rows.ciphertext;
  stream.restart();
  stream.decipher(rows.decrypttext);
  return rows;
}
