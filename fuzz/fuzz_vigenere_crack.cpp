// The Vigenere cracker on arbitrary bytes, fed in two chunks cut where the first byte says:
// it finds a key exactly when the bytes hold a letter, and the key is one to 40 capitals, at
// its shortest period, no longer than the letters; the letters kept are those of the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ascii.hpp"
#include "vigenere_crack.hpp"

namespace {

void require(bool holds) {
  if (!holds) {
    std::abort();
  }
}

bool repeatsAShorterKey(std::string_view key) {
  for (std::size_t p = 1; p < key.size(); ++p) {
    if (key.size() % p == 0 && key.substr(p) == key.substr(0, key.size() - p)) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = size == 0 ? 0 : static_cast<std::uint8_t>(bytes[0]) % (size + 1);
  CrackSample sample;
  sample.add(bytes.substr(0, cut));
  sample.add(bytes.substr(cut));

  std::string letters;
  for (char c : bytes) {
    if (isAsciiLetter(c)) {
      letters += toAsciiUpper(c);
    }
  }
  require(sample.letterCount() == letters.size());
  require(sample.letters() == std::string_view(letters).substr(0, CrackSample::sampleLimit));

  const auto crack = crackVigenere(sample);
  require(crack.has_value() == !letters.empty());
  if (crack) {
    const std::string& key = crack->key;
    require(!key.empty() && key.size() <= maximumKeyLength && key.size() <= letters.size());
    require(std::all_of(key.begin(), key.end(), isAsciiUpper));
    require(!repeatsAShorterKey(key));
    require(crack->verdict != CrackVerdict::sure ||
            letters.size() >= minimumLettersPerKeyLetter * key.size());
  }
  return 0;
}
