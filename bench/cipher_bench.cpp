// Speed of each cipher core on an 800-character text, and of whole dialogue passes run through
// in-memory streams. Items are characters for the cores and passes for the sessions.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "menu_loop.hpp"
#include "personal_method.hpp"
#include "rot13.hpp"
#include "vigenere.hpp"

namespace {

constexpr std::size_t textLength = 800;
constexpr std::string_view key = "Lemon";

// The same mix of letters, digits, blanks and punctuation as bench/make_session.sh, starting
// `shift` characters into the pattern.
std::string sampleText(std::size_t shift = 0) {
  constexpr std::string_view pattern =
      "The quick brown fox jumps over the lazy dog; PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS! "
      "0123456789 (~@#$%^&*-+=) ";
  std::string pool;
  while (pool.size() < textLength + pattern.size()) {
    pool += pattern;
  }
  return pool.substr(shift % pattern.size(), textLength);
}

// The answers of `passes` passes, taking the menu letters of `methods` in turn, then q.
std::string scriptedSession(std::size_t passes, std::string_view methods) {
  std::string session;
  for (std::size_t p = 0; p < passes; ++p) {
    const char method = methods[p % methods.size()];
    session += method;
    session += '\n';
    session += sampleText(p);
    session += '\n';
    if (method == 'V') {
      session += key;
      session += '\n';
    }
  }
  return session + "q\n";
}

void countCharacters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(textLength));
}

// Times `run` on the sample text (or its parts) once an iteration, in characters a second.
template <class Run>
void timeOnSample(benchmark::State& state, Run run) {
  for (auto _ : state) {
    auto result = run();
    benchmark::DoNotOptimize(result);
  }
  countCharacters(state);
}

void BM_Rot13(benchmark::State& state) {
  const std::string text = sampleText();
  timeOnSample(state, [&] { return encipherRot13(text); });
}
BENCHMARK(BM_Rot13);

void BM_Vigenere(benchmark::State& state) {
  const std::string text = sampleText();
  timeOnSample(state, [&] { return encipherVigenere(text, key); });
}
BENCHMARK(BM_Vigenere);

// Walk, write, parse back and decode, with a cheap linear congruential draw in place of the
// run's seeded generator, so that the figure is the method's own.
void BM_PersonalMethod(benchmark::State& state) {
  const std::string text = sampleText();
  std::uint32_t seed = 12345;
  auto draw = [&seed] {
    seed = seed * 1664525U + 1013904223U;
    return seed >> 8;
  };
  timeOnSample(state, [&] { return encipherPersonal(text, draw); });
}
BENCHMARK(BM_PersonalMethod);

// The parts of a personal-method run: the encoder and the decoder on the sample text, and a
// freshly seeded generator's 2n + 1 draws.
void BM_PersonalEncoder(benchmark::State& state) {
  Mt19937 generator(1'765'180'800);
  const std::string text = sampleText();
  DigitString ctext(startValueLength + longestGroup * text.size() + groupStore, '\0');
  timeOnSample(state, [&] {
    PersonalEncoder encoder;
    return encoder.encode(text, encoder.startWalk(ctext.data(), generator), generator, generator);
  });
}
BENCHMARK(BM_PersonalEncoder);

// The filter's encoder: lines of the sample text cut at 60 characters, each line its own walk,
// drawn from the generator as the filter draws.
void BM_PersonalEncodeLines(benchmark::State& state) {
  Mt19937 generator(1'765'180'800);
  std::string text = sampleText();
  for (std::size_t end = 60; end < text.size(); end += 61) {
    text[end] = '\n';
  }
  DigitString ctext(longestGroup * text.size() + startValueLength + groupStore, '\0');
  PersonalEncoder encoder;
  timeOnSample(state, [&] { return encoder.encodeLines(text, ctext.data(), generator); });
}
BENCHMARK(BM_PersonalEncodeLines);

void BM_PersonalDecoder(benchmark::State& state) {
  Mt19937 generator(1'765'180'800);
  const DigitString ctext = encipherPersonal(sampleText(), generator).ctext;
  timeOnSample(state, [&] { return decipherPersonal(ctext); });
}
BENCHMARK(BM_PersonalDecoder);

void BM_SeededDraws(benchmark::State& state) {
  std::uint32_t second = 1'765'180'800;
  timeOnSample(state, [&] {
    Mt19937 generator(second++);
    std::uint32_t parities = 0;
    for (std::size_t i = 0; i < 2 * textLength + 1; ++i) {
      parities += generator() & 1;
    }
    return parities;
  });
}
BENCHMARK(BM_SeededDraws);

// Whole passes (menu, reads, cipher, report) of one method or of the three in turn; the
// items rate is passes per second.
void BM_Session(benchmark::State& state, std::string_view methods) {
  constexpr std::size_t passes = 30;
  const std::string session = scriptedSession(passes, methods);
  // One output stream for all iterations, emptied but not shrunk, so that the figure is not
  // that of growing a buffer of several hundred kilobytes again on every iteration.
  std::ostringstream out;
  for (auto _ : state) {
    std::istringstream in(session);
    out.str(std::string());
    std::ostringstream err;
    if (runMenuLoop(in, out, err) != 0) {
      state.SkipWithError("the session did not end with status 0");
      break;
    }
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(passes));
}
BENCHMARK_CAPTURE(BM_Session, R, std::string_view("R"));
BENCHMARK_CAPTURE(BM_Session, V, std::string_view("V"));
BENCHMARK_CAPTURE(BM_Session, M, std::string_view("M"));
BENCHMARK_CAPTURE(BM_Session, RVM, std::string_view("RVM"));

}  // namespace

BENCHMARK_MAIN();
