// The workbench's and the package's way into the filters and the breaker: plain C functions
// over bytes in the module's memory. Nothing throws across into JavaScript: each call catches
// what C++ throws and leaves the message as its result, and the JavaScript side raises it.

#include <emscripten/emscripten.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "crack_explanation_printers.hpp"
#include "crack_filter.hpp"
#include "english_statistics.hpp"
#include "memory_filter.hpp"
#include "method_filters.hpp"
#include "personal_method.hpp"
#include "vigenere.hpp"
#include "vigenere_crack.hpp"

namespace {

// The last call's output, or its message: read by the JavaScript side before the next call.
std::string result;

std::optional<std::string> optionalText(const char* text) {
  return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

struct FilterChoice {
  std::unique_ptr<MethodFilter> filter;
  std::string refusal;
};

FilterChoice chooseFilter(std::string_view method, bool decrypt,
                          const std::optional<std::string>& key,
                          const std::optional<std::string>& seed) {
  if (method == "rot13") {
    return {std::make_unique<Rot13Filter>(), {}};
  }
  if (method == "vigenere") {
    if (!key) {
      return {nullptr, std::string(missingKeyMessage)};
    }
    if (auto refusal = keyRefusal(*key)) {
      return {nullptr, *refusal};
    }
    using Direction = VigenereFilter::Direction;
    return {
        std::make_unique<VigenereFilter>(*key, decrypt ? Direction::decipher : Direction::encipher),
        {}};
  }
  if (method == "personal") {
    std::optional<std::uint32_t> chosenSeed;
    if (seed && !(chosenSeed = parseSeed(*seed))) {
      return {nullptr, seedRefusal(*seed)};
    }
    if (decrypt) {
      return {std::make_unique<PersonalDecryptFilter>(), {}};
    }
    const Mt19937 generator =
        chosenSeed ? Mt19937(*chosenSeed) : seededFromClock(std::time(nullptr));
    return {std::make_unique<PersonalEncryptFilter>(generator), {}};
  }
  return {nullptr, "unknown method '" + std::string(method) + "'"};
}

// Runs the step, leaving its output or its message in result: 0 for an output, 1 for a message.
template <class Step>
int answer(Step step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    result = "out of memory";
  } catch (const std::exception& error) {
    result = error.what();
  }
  return 1;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* webResultData() {
  return result.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t webResultSize() {
  return result.size();
}

EMSCRIPTEN_KEEPALIVE void webResultClear() {
  std::string().swap(result);
}

// Encrypts, or with decrypt decrypts, the bytes as `ciphers METHOD [-d] [-k KEY] [--seed N]`
// does standard input. A null key or seed is one not given; they may be changed.
EMSCRIPTEN_KEEPALIVE int webTransform(const char* method, int decrypt, const char* key,
                                      const char* seed, char* input, std::size_t size) {
  return answer([&] {
    FilterChoice choice = chooseFilter(method, decrypt != 0, optionalText(key), optionalText(seed));
    if (!choice.filter) {
      result = std::move(choice.refusal);
      return 1;
    }
    FilteredBytes filtered = filterBytes(*choice.filter, std::span(input, size));
    if (filtered.refusal) {
      result = std::move(*filtered.refusal);
      return 1;
    }
    result = std::move(filtered.output);
    return 0;
  });
}

// Finds the Vigenere key of the bytes, as `ciphers vigenere --crack` does, and how: the result is
// what `--crack --json` writes.
EMSCRIPTEN_KEEPALIVE int webCrack(const char* input, std::size_t size) {
  return answer([&] {
    ExplainedSample text;
    text.add(std::string_view(input, size));
    const std::optional<CrackExplanation> explanation = explainVigenereCrack(text);
    if (!explanation) {
      result = noLettersMessage;
      return 1;
    }
    result = explanationJson(*explanation);
    return 0;
  });
}

// English's letter probabilities, A to Z, as the breaker weighs a column: 26 numbers.
EMSCRIPTEN_KEEPALIVE const double* webEnglishLetters() {
  static const std::array<double, alphabetSize> probabilities = [] {
    std::array<double, alphabetSize> letters{};
    const auto& logarithms = englishStatistics().letterLogProbability;
    for (std::size_t i = 0; i < letters.size(); ++i) {
      letters[i] = std::exp(logarithms[i]);
    }
    return letters;
  }();
  return probabilities.data();
}

}  // extern "C"
