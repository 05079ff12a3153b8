#include "crack_filter.hpp"

#include <new>
#include <string_view>

#include "method_filters.hpp"
#include "run_filter.hpp"
#include "vigenere.hpp"
#include "vigenere_crack.hpp"

namespace {

// Takes in the whole input and writes nothing: the key can only be known at its end. Keeps the
// cracker's sample of letters and, when the text is to be deciphered, the text.
class CrackInput : public MethodFilter {
 public:
  explicit CrackInput(bool keepText) : keepText_(keepText) {}

  std::span<const char> transform(std::span<char> block) override {
    const std::string_view text(block.data(), block.size());
    sample_.add(text);
    if (keepText_) {
      text_ += text;
    }
    return {};
  }

  const CrackSample& sample() const { return sample_; }
  std::string& text() { return text_; }

 private:
  bool keepText_;
  CrackSample sample_;
  std::string text_;
};

void warnIfUnsure(CrackVerdict verdict, std::ostream& err) {
  if (verdict == CrackVerdict::tooShort) {
    err << "ciphers: the text is too short to be sure of the key\n";
  } else if (verdict == CrackVerdict::notEnglish) {
    err << "ciphers: not sure of the key: the text does not read as English under it (is the "
           "key longer than "
        << maximumKeyLength << " letters?)\n";
  }
}

int crackFiles(std::span<const std::string> files, bool decipher, std::ostream& err) {
  CrackInput input(decipher);
  const int readStatus = runFilter(input, files, err);
  const std::optional<VigenereCrack> crack = crackVigenere(input.sample());
  if (!crack) {
    err << "ciphers: the input holds no letters, so it shows no key\n";
    return 1;
  }
  bool written = false;
  if (decipher) {
    err << "ciphers: key " << crack->key << '\n';
    warnIfUnsure(crack->verdict, err);
    std::string& text = input.text();
    VigenereStream(crack->key).decipher(text);
    written = writeOutput(text, err);
  } else {
    warnIfUnsure(crack->verdict, err);
    written = writeOutput(crack->key + '\n', err);
  }
  return written ? readStatus : 1;
}

}  // namespace

int runVigenereCrack(std::span<const std::string> files, bool decipher, std::ostream& err) {
  // Only deciphering holds the whole input, which may not fit.
  try {
    return crackFiles(files, decipher, err);
  } catch (const std::bad_alloc&) {
    err << "ciphers: out of memory\n";
    return 1;
  }
}
