#include "ciphers/vigenere.hpp"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// What toupper does in the default locale, which the program never changes: only a to z change.
// Done inline, as it runs for every text and key character.
constexpr char upperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isCapital(char c) {
  return c >= 'A' && c <= 'Z';
}

bool isAsciiLetter(char c) {
  return isCapital(upperCase(c));
}

bool isLetterKey(std::string_view key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), isAsciiLetter);
}

// Hands out the upper-cased key characters in turn, starting again after the last.
class KeyCycle {
 public:
  explicit KeyCycle(std::string_view key) : key_(key) {}
  char next() {
    const char k = upperCase(key_[position_]);
    position_ = (position_ + 1) % key_.size();
    return k;
  }

 private:
  std::string_view key_;
  std::size_t position_ = 0;
};

// Every text character gives one column, so the rows are sized once and filled in place.
VigenereRows sizedRows(std::size_t count) {
  return {std::string(count, '\0'), std::string(count, '\0'), std::string(count, '\0'),
          std::string(count, '\0')};
}

void setColumn(VigenereRows& rows, std::size_t i, char plain, char keyletter, char cipher,
               char decrypted) {
  rows.plaintext[i] = plain;
  rows.keyletter[i] = keyletter;
  rows.ciphertext[i] = cipher;
  rows.decrypttext[i] = decrypted;
}

}  // namespace

VigenereMatrix buildVigenereMatrix() {
  VigenereMatrix matrix{};
  for (int r = 0; r < alphabetSize; ++r) {
    for (int c = 0; c < alphabetSize; ++c) {
      // 'A' + r + c is at most 'A' + 50, so one subtraction brings it back into A to Z.
      const int cell = 'A' + r + c;
      matrix[r][c] = static_cast<char>(cell > 'Z' ? cell - alphabetSize : cell);
    }
  }
  return matrix;
}

int findInRow(const VigenereRow& row, int letter) {
  // No cell can hold a value outside char; memchr is the cheap scan for one that does.
  if (letter < CHAR_MIN || letter > CHAR_MAX) {
    return 0;
  }
  const void* cell = std::memchr(row.data(), static_cast<unsigned char>(letter), row.size());
  return cell == nullptr ? 0 : static_cast<int>(static_cast<const char*>(cell) - row.data());
}

bool holdsLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), isAsciiLetter);
}

std::optional<VigenereRows> encipherVigenere(std::string_view text, std::string_view key) {
  if (holdsLetter(text) && !isLetterKey(key)) {
    return std::nullopt;
  }
  // The walk ends where a line would: at a NUL or a line feed.
  text = text.substr(0, std::min(text.find('\0'), text.find('\n')));
  const VigenereMatrix vigenere = buildVigenereMatrix();
  VigenereRows rows = sizedRows(text.size());
  KeyCycle keys(key);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char p = upperCase(text[i]);
    if (!isCapital(p)) {
      setColumn(rows, i, p, p, p, p);
      continue;
    }
    const char k = keys.next();
    const VigenereRow& keyRow = vigenere[k - 'A'];
    const char x = keyRow[p - 'A'];
    setColumn(rows, i, p, k, x, vigenere[0][findInRow(keyRow, x)]);
  }
  return rows;
}
