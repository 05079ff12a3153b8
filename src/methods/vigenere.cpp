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
bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has;
}

// Shifts the text's whole blocks of 32 bytes at once; returns how many bytes it shifted, and
// moves `position` on by the letters among them. Within each half block, a letter's key letter
// is the one at its count of letters before it in that half, which a byte shuffle picks out of
// the 16 due next: for the first half from `position` on, for the second after the first half's
// letters.
__attribute__((target("avx2,popcnt"))) std::size_t shiftBlocks(std::span<char> text,
                                                               const char* shifts,
                                                               std::size_t period,
                                                               std::size_t& position) {
  const __m256i caseBit = _mm256_set1_epi8(0x20);
  const __m256i lastLetter = _mm256_set1_epi8(alphabetSize - 1);
  std::size_t done = 0;
  for (; text.size() - done >= VigenereStream::block; done += VigenereStream::block) {
    char* const at = text.data() + done;
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    // Clearing the 0x20 bit maps the small letters onto the capitals, and no other byte.
    const __m256i letter =
        _mm256_sub_epi8(_mm256_andnot_si256(caseBit, bytes), _mm256_set1_epi8('A'));
    const __m256i isLetter = _mm256_cmpeq_epi8(_mm256_min_epu8(letter, lastLetter), letter);
    const auto letters = static_cast<std::uint32_t>(_mm256_movemask_epi8(isLetter));
    const __m256i ones = _mm256_and_si256(isLetter, _mm256_set1_epi8(1));
    // Counts the letters before each byte of its half: shifts stay within each 16-byte half.
    __m256i before = _mm256_slli_si256(ones, 1);
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 1));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 2));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 4));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 8));
    const char* const due = shifts + position;
    const auto firstHalfLetters = static_cast<std::size_t>(__builtin_popcount(letters & 0xFFFFU));
    const __m256i dueShifts =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(due + firstHalfLetters),
                            reinterpret_cast<const __m128i*>(due));
    const __m256i keyShift = _mm256_shuffle_epi8(dueShifts, before);
    __m256i shifted = _mm256_add_epi8(letter, keyShift);
    shifted = _mm256_sub_epi8(shifted, _mm256_and_si256(_mm256_cmpgt_epi8(shifted, lastLetter),
                                                        _mm256_set1_epi8(alphabetSize)));
    const __m256i enciphered = _mm256_add_epi8(shifted, _mm256_set1_epi8('A'));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at),
                        _mm256_blendv_epi8(bytes, enciphered, isLetter));
    position += static_cast<std::size_t>(__builtin_popcount(letters));
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
  encipherShifts_.reserve(period_ + block);
  decipherShifts_.reserve(period_ + block);
  for (std::size_t i = 0; i < period_ + block; ++i) {
    const int row = toAsciiUpper(key[i % key.size()]) - 'A';
    encipherShifts_.push_back(static_cast<char>(row));
    decipherShifts_.push_back(static_cast<char>((alphabetSize - row) % alphabetSize));
  }
}

void VigenereStream::shift(std::span<char> text, const Secret& shifts) {
  std::size_t done = 0;
#ifdef CIPHERS_VIGENERE_BLOCKS
  if (hasAvx2()) {
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
