#include "crack_filter.hpp"

#include <optional>
#include <string_view>

#include "method_filters.hpp"
#include "run_filter.hpp"
#include "vigenere.hpp"
#include "vigenere_crack.hpp"

namespace {

void warnIfUnsure(CrackVerdict verdict, std::ostream& err) {
  if (const std::optional<std::string> warning = crackWarning(verdict)) {
    err << "ciphers: " << *warning << '\n';
  }
}

bool isFull(const CrackSample& sample) {
  return sample.letters().size() == CrackSample::sampleLimit;
}

// Takes in the input and writes nothing: the key is known at its end.
class KeyFinder : public MethodFilter {
 public:
  std::span<const char> transform(std::span<char> block) override {
    sample_.add(std::string_view(block.data(), block.size()));
    return {};
  }

  const CrackSample& sample() const { return sample_; }

 private:
  CrackSample sample_;
};

// Holds the input only until the cracker's sample is full: the key found then is the key found
// at the end, since the letters beyond the sample are only counted, and by then they are enough
// for any key looked for. It then deciphers what it held, and the rest as it comes.
class CrackingDecipherer : public MethodFilter {
 public:
  explicit CrackingDecipherer(std::ostream& err) : err_(err) {}

  std::span<const char> transform(std::span<char> block) override {
    if (stream_) {
      std::string().swap(held_);  // written by now
      stream_->decipher(block);
      return block;
    }
    held_.append(block.data(), block.size());
    sample_.add(std::string_view(block.data(), block.size()));
    if (!isFull(sample_)) {
      return {};
    }
    startDeciphering(*crackVigenere(sample_));
    return held_;
  }

  // At the end of the input: the key, if the input held a letter, and its text deciphered.
  std::optional<std::string_view> finish() {
    if (stream_) {
      return std::string_view();
    }
    const std::optional<VigenereCrack> crack = crackVigenere(sample_);
    if (!crack) {
      return std::nullopt;
    }
    startDeciphering(*crack);
    return held_;
  }

 private:
  void startDeciphering(const VigenereCrack& crack) {
    err_ << "ciphers: key " << crack.key << '\n';
    warnIfUnsure(crack.verdict, err_);
    stream_.emplace(crack.key);
    stream_->decipher(held_);
  }

  std::ostream& err_;
  CrackSample sample_;
  std::string held_;  // the input so far, while the sample fills
  std::optional<VigenereStream> stream_;
};

void reportNoLetters(std::ostream& err) {
  err << "ciphers: " << noLettersMessage << '\n';
}

int findKey(std::span<const std::string> files, std::ostream& err) {
  KeyFinder finder;
  const int readStatus = runFilter(finder, files, err);
  const std::optional<VigenereCrack> crack = crackVigenere(finder.sample());
  if (!crack) {
    reportNoLetters(err);
    return 1;
  }
  warnIfUnsure(crack->verdict, err);
  return writeOutput(crack->key + '\n', err) ? readStatus : 1;
}

int decipherWithKeyFound(std::span<const std::string> files, std::ostream& err) {
  CrackingDecipherer decipherer(err);
  const int readStatus = runFilter(decipherer, files, err);
  const std::optional<std::string_view> rest = decipherer.finish();
  if (!rest) {
    reportNoLetters(err);
    return 1;
  }
  return rest->empty() || writeOutput(*rest, err) ? readStatus : 1;
}

}  // namespace

std::optional<std::string> crackWarning(CrackVerdict verdict) {
  if (verdict == CrackVerdict::tooShort) {
    return "the text is too short to be sure of the key";
  }
  if (verdict == CrackVerdict::tooFewLetters) {
    return "the text holds too few different letters to be sure of the key";
  }
  if (verdict == CrackVerdict::notEnglish) {
    return "not sure of the key: the text does not read as English under it (is the key longer "
           "than " +
           std::to_string(maximumKeyLength) + " letters?)";
  }
  return std::nullopt;
}

int runVigenereCrack(std::span<const std::string> files, bool decipher, std::ostream& err) {
  return decipher ? decipherWithKeyFound(files, err) : findKey(files, err);
}
