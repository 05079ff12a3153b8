#include "solve_filter.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "english_fit.hpp"
#include "rot13.hpp"
#include "run_filter.hpp"
#include "vigenere.hpp"

namespace {

enum class Method { none, rot13, vigenere, personal };

// A method that fits the head, and how well: the fit in nats of the head's letters and the gaps
// between them deciphered, less periodPenalty for each key letter, as the breaker weighs its
// periods.
struct Solution {
  Method method = Method::none;
  std::string key;  // the Vigenere key's capitals; empty for the other methods
  double fit = 0;
};

std::string_view methodName(Method method) {
  switch (method) {
    case Method::rot13:
      return "rot13";
    case Method::vigenere:
      return "vigenere";
    case Method::personal:
      return "personal";
    case Method::none:
      break;
  }
  return "none";
}

double keyCost(std::string_view key) {
  return periodPenalty * static_cast<double>(key.size());
}

// Of the letter methods, the one whose decipherment of the sample fits English best, the key's
// cost counted: the text itself, ROT13, or the breaker's Vigenere key where it is sure of it.
// The first of equals wins, so a key of A is the text itself and a key of N is ROT13. Nothing
// where no decipherment reads as English.
std::optional<Solution> solveLetters(const CrackSample& sample) {
  std::vector<Solution> fitting;
  const auto weigh = [&fitting](Method method, const std::string& key, std::string_view plain) {
    const EnglishFit fit = englishFit(plain);
    if (fit.readsAsEnglish) {
      fitting.push_back({method, key, fit.nats - keyCost(key)});
    }
  };
  const std::string letters = sample.spacedLetters();
  weigh(Method::none, "", letters);
  weigh(Method::rot13, "", rot13(letters));
  const std::optional<VigenereCrack> crack = crackVigenere(sample);
  if (crack && crack->verdict == CrackVerdict::sure) {
    std::string plain = letters;
    VigenereStream(crack->key).decipher(plain);
    weigh(Method::vigenere, crack->key, plain);
  }
  if (fitting.empty()) {
    return std::nullopt;
  }
  return *std::max_element(fitting.begin(), fitting.end(),
                           [](const Solution& a, const Solution& b) { return a.fit < b.fit; });
}

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr bool isLineEndByte(char c) {
  return c == '\n' || c == '\r';
}

std::string solutionJson(const Solution& solution) {
  using Json = nlohmann::ordered_json;
  const Json json{{"method", methodName(solution.method)},
                  {"key", solution.key.empty() ? Json(nullptr) : Json(solution.key)},
                  {"fit", std::round(solution.fit * 100) / 100}};
  return json.dump() + '\n';
}

// Holds the head of the input, deciding on it which method made the text, then deciphers the
// head and the rest as it comes. While the head holds only digits and line ends it is decoded
// as the personal method's too, line by line as personal -d decodes it, so that a refused line
// is told in the file and at the line that hold it.
class Solver : public MethodFilter {
 public:
  Solver(bool json, std::ostream& err) : json_(json), err_(err) {}

  std::span<const char> transform(std::span<char> block) override {
    if (decided_) {
      std::string().swap(held_);  // written by now
      std::string().swap(personalText_);
      return decipher(block);
    }
    hold(block);
    if (personal_ && personal_->refused()) {
      if (!isDigitText()) {
        personal_.reset();  // a text of other bytes that a digit string happens to begin
      } else {
        return decide();
      }
    }
    if (sample_.full() || held_.size() >= solveHeadBytes) {
      return decide();
    }
    return {};
  }

  bool refused() const override { return personal_ && personal_->refused(); }
  // Decides on all of a short input; what that gives is pending().
  void endInput() override {
    if (!decided_) {
      pending_ = decide();
    }
    if (personal_) {
      personal_->endInput();
    }
  }
  std::uint64_t linesEnded() const override { return personal_ ? personal_->linesEnded() : 0; }
  void dropLine() override {
    if (personal_) {
      personal_->dropLine();
    }
  }
  bool hasEnough() const override { return decided_ && !solution_; }

  bool fits() const { return solution_.has_value(); }
  // What endInput() decided on and has still to be written.
  std::span<const char> pending() const { return pending_; }

 private:
  void hold(std::span<char> block) {
    const std::string_view bytes(block.data(), block.size());
    // Only the head's letters are weighed, wherever the reads happen to end.
    sample_.add(bytes.substr(0, solveHeadBytes - std::min(held_.size(), solveHeadBytes)));
    held_.append(bytes);
    for (const char c : bytes) {
      digits_ += isDigit(c) ? 1 : 0;
      others_ += isDigit(c) || isLineEndByte(c) ? 0 : 1;
    }
    if (personal_) {
      const std::span<const char> text = personal_->transform(block);
      personalText_.append(text.data(), text.size());
    }
  }

  // Whether the head is lines of digits, some of them perhaps damaged: nine bytes of ten, line
  // ends aside, are digits.
  bool isDigitText() const { return digits_ > 0 && others_ * 9 <= digits_; }

  std::optional<Solution> solve() const {
    if (personal_ && isDigitText()) {
      CrackSample plain;
      plain.add(personalText_);
      return Solution{Method::personal, "", englishFit(plain.spacedLetters()).nats};
    }
    return solveLetters(sample_);
  }

  // Decides on the head held; gives its output.
  std::span<const char> decide() {
    decided_ = true;
    solution_ = solve();
    if (!solution_) {
      personal_.reset();
      return {};
    }
    if (solution_->method != Method::personal) {
      personal_.reset();
      if (solution_->method == Method::vigenere) {
        key_.emplace(solution_->key);
      }
    }
    if (json_) {
      held_ = solutionJson(*solution_);
      return held_;
    }
    err_ << "solve: " << methodName(solution_->method)
         << (key_ ? ", key " + solution_->key : std::string()) << '\n';
    if (solution_->method == Method::personal) {
      return personalText_;
    }
    decipherLetters(held_);
    return held_;
  }

  std::span<const char> decipher(std::span<char> block) {
    if (!solution_) {
      return {};
    }
    if (solution_->method == Method::personal) {
      const std::span<const char> text = personal_->transform(block);
      return json_ ? std::span<const char>() : text;
    }
    if (json_) {
      return {};
    }
    decipherLetters(block);
    return block;
  }

  void decipherLetters(std::span<char> text) {
    if (solution_->method == Method::rot13) {
      rotate13InPlace(text);
    } else if (key_) {
      key_->decipher(text);
    }
  }

  bool json_;
  std::ostream& err_;
  std::string held_;  // the head, while it is read
  CrackSample sample_;
  std::uint64_t digits_ = 0;
  std::uint64_t others_ = 0;  // bytes neither digits nor line ends
  // The head read as the personal method's, while it may be one, and then its text.
  std::unique_ptr<PersonalDecryptFilter> personal_ = std::make_unique<PersonalDecryptFilter>();
  std::string personalText_;
  bool decided_ = false;
  std::optional<Solution> solution_;
  std::optional<VigenereStream> key_;
  std::span<const char> pending_;
};

}  // namespace

int runSolve(std::span<const std::string> files, bool json, std::ostream& err) {
  Solver solver(json, err);
  const int readStatus = runFilter(solver, files, err);
  if (!solver.fits()) {
    err << noMethodFitsMessage << '\n';
    return 1;
  }
  const std::span<const char> rest = solver.pending();
  return rest.empty() || writeOutput(rest, err) ? readStatus : 1;
}
