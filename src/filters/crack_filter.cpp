#include "crack_filter.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "crack_explanation_printers.hpp"
#include "method_filters.hpp"
#include "run_filter.hpp"
#include "vigenere.hpp"
#include "vigenere_crack.hpp"

namespace {

void warnIfUnsure(CrackVerdict verdict, std::ostream& err) {
  const std::string warning = verdictWarning(verdict);
  if (!warning.empty()) {
    err << "ciphers: " << warning << '\n';
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

// Takes in the input and writes nothing: how the key was found is known at its end. Keeps the
// input's first bytes, to show them deciphered.
class KeyExplainer : public MethodFilter {
 public:
  static constexpr std::size_t openingBytes = 72;

  std::span<const char> transform(std::span<char> block) override {
    text_.add(std::string_view(block.data(), block.size()));
    if (opening_.size() < openingBytes) {
      opening_.append(block.data(), std::min(block.size(), openingBytes - opening_.size()));
    }
    return {};
  }

  const ExplainedSample& text() const { return text_; }

  // The opening deciphered under the key.
  std::string opening(const std::string& key) const {
    std::string opening = opening_;
    VigenereStream(key).decipher(opening);
    return opening;
  }

 private:
  ExplainedSample text_;
  std::string opening_;
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

int runVigenereExplanation(std::span<const std::string> files, ExplanationFormat format,
                           std::ostream& err) {
  KeyExplainer explainer;
  const int readStatus = runFilter(explainer, files, err);
  const std::optional<CrackExplanation> explanation = explainVigenereCrack(explainer.text());
  if (!explanation) {
    reportNoLetters(err);
    return 1;
  }
  const std::string output =
      format == ExplanationFormat::json
          ? explanationJson(*explanation)
          : explanationReport(*explanation, explainer.opening(explanation->crack.key),
                              ReportStyle{localeUsesUtf8()});
  return writeOutput(output, err) ? readStatus : 1;
}

int runVigenereCrack(std::span<const std::string> files, bool decipher, std::ostream& err) {
  return decipher ? decipherWithKeyFound(files, err) : findKey(files, err);
}
