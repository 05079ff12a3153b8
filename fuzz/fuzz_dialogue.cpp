// The whole dialogue on arbitrary standard input: it must end with status 0 or 1, and every
// report it writes must show its text decrypted back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "digit_string.hpp"
#include "menu_loop.hpp"
#include "personal_method.hpp"
#include "result_report.hpp"

namespace {

constexpr std::string_view plaintextLabel = "Plaintext:      ";
constexpr std::string_view keyLabel = "Key:            ";
constexpr std::string_view ciphertextLabel = "Ciphertext:     ";
constexpr std::string_view decryptedLabel = "Decrypted back: ";

void require(bool holds) {
  if (!holds) {
    std::abort();
  }
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool isCapital(char c) {
  return c >= 'A' && c <= 'Z';
}
bool isSmall(char c) {
  return c >= 'a' && c <= 'z';
}

// Written out here rather than taken from the cipher, so that the check does not share its faults.
char rotated(char c) {
  if (isCapital(c)) {
    return static_cast<char>('A' + (c - 'A' + 13) % 26);
  }
  if (isSmall(c)) {
    return static_cast<char>('a' + (c - 'a' + 13) % 26);
  }
  return c;
}

void checkRot13(std::string_view plain, std::string_view cipher) {
  require(cipher.size() == plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    require(cipher[i] == rotated(plain[i]));
  }
}

// Letters are capitals in every row; each is shifted by its key letter; all else stands as typed.
void checkVigenere(std::string_view plain, std::string_view key, std::string_view cipher) {
  require(key.size() == plain.size() && cipher.size() == plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const char p = plain[i];
    require(!isSmall(p));
    if (isCapital(p)) {
      require(isCapital(key[i]));
      require(cipher[i] == 'A' + (p - 'A' + key[i] - 'A') % 26);
    } else {
      require(key[i] == p && cipher[i] == p);
    }
  }
}

void checkPersonal(std::string_view plain, std::string_view cipher) {
  require(cipher.size() >= 2 && cipher[0] >= '1' && cipher[0] <= '9');
  for (const char c : cipher) {
    require(c >= '0' && c <= '9');
  }
  require(cipher.size() <= 2 + 6 * plain.size());
  require(decipherPersonal(cipher) == plain);
}

// The row behind a label on the given line, followed by its empty line.
std::string_view row(const std::vector<std::string_view>& lines, std::size_t at,
                     std::string_view label) {
  require(at + 1 < lines.size() && lines[at].starts_with(label) && lines[at + 1].empty());
  return lines[at].substr(label.size());
}

// Checks the report whose plaintext row is on the given line. Only rows begin with a label:
// every other line of the dialogue is fixed text or a prompt.
void checkReport(const std::vector<std::string_view>& lines, std::size_t at) {
  const std::string_view plain = row(lines, at, plaintextLabel);
  const bool keyed = at + 2 < lines.size() && lines[at + 2].starts_with(keyLabel);
  const std::string_view key = keyed ? row(lines, at + 2, keyLabel) : std::string_view();
  const std::size_t next = keyed ? at + 4 : at + 2;
  const std::string_view cipher = row(lines, next, ciphertextLabel);
  const std::string_view decrypted = row(lines, next + 2, decryptedLabel);
  require(next + 5 < lines.size() && lines[next + 4] == "Information: ");
  const std::string_view information = lines[next + 5];

  require(decrypted == plain);
  if (information == rot13Information[0]) {
    require(!keyed);
    checkRot13(plain, cipher);
  } else if (information == vigenereInformation[0]) {
    require(keyed);
    checkVigenere(plain, key, cipher);
  } else {
    require(information == personalMethodInformation[0] && !keyed);
    checkPersonal(plain, cipher);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  std::ostringstream err;
  const int status = runMenuLoop(in, out, err);

  // Status 1 always comes with its one line on err; status 0 with nothing there.
  require(status == 0 || status == 1);
  require(err.str().empty() == (status == 0));

  const std::string written = std::move(out).str();
  const std::vector<std::string_view> lines = splitLines(written);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with(plaintextLabel)) {
      checkReport(lines, i);
    }
  }
  return 0;
}
