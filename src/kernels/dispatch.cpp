// Picks the kernel set of the process, once: the one that CIPHERS_KERNEL names, or else the best
// that the processor runs.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "kernels.hpp"
#include "portable/portable.hpp"

// The x86-64 sets run on any x86-64 system but Windows: MinGW's compiler does not keep the stack
// aligned for the vectors that they spill. WebAssembly built with its 128-bit vectors has a set
// of its own besides the plain one; every other processor runs the plain set alone. The sets are
// picked through these tables rather than by the loader, so nothing here needs an ELF system.
#if defined(__x86_64__) && !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define CIPHERS_X86_64_KERNELS 1
#include "avx2/avx2.hpp"
#include "avx512/avx512.hpp"
#endif
#if defined(__EMSCRIPTEN__) && defined(__wasm_simd128__)
#define CIPHERS_SIMD128_KERNELS 1
#include "simd128/simd128.hpp"
#endif

namespace {

constexpr KernelSet portableSet{
    "portable", portable::rotate13,     portable::shiftVigenere, portable::encodeWalk,
    nullptr,    portable::refillMt19937};

#ifdef CIPHERS_X86_64_KERNELS
constexpr KernelSet avx2Set{"avx2",           avx2::rotate13,           avx2::shiftVigenere,
                            avx2::encodeWalk, avx2::decodeGroupWindows, avx2::refillMt19937};

// ROT13 and Vigenère gain nothing from wider vectors: they take the 256-bit loops.
constexpr KernelSet avx512Set{"avx512",
                              avx2::rotate13,
                              avx2::shiftVigenere,
                              avx512::encodeWalk,
                              avx512::decodeGroupWindows,
                              avx512::refillMt19937};

bool runsAvx2() {
  return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
}

bool runsAvx512() {
  return runsAvx2() && __builtin_cpu_supports("avx512f") != 0 &&
         __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512cd") != 0 &&
         __builtin_cpu_supports("avx512dq") != 0 && __builtin_cpu_supports("avx512vl") != 0 &&
         __builtin_cpu_supports("avx512vbmi") != 0 && __builtin_cpu_supports("avx512vbmi2") != 0 &&
         __builtin_cpu_supports("avx512vpopcntdq") != 0 && __builtin_cpu_supports("bmi2") != 0;
}
#endif

#ifdef CIPHERS_SIMD128_KERNELS
// The module is built for the vectors throughout, so the compiler's own loops use them too.
constexpr KernelSet simd128Set{
    "simd128", portable::rotate13,     simd128::shiftVigenere, portable::encodeWalk,
    nullptr,   portable::refillMt19937};
#endif

// Every set that this build has, the plain one first and the best last.
struct Build {
  const KernelSet* set;
  bool (*runs)();
};

constexpr auto builtSets = std::to_array<Build>({
    {&portableSet, [] { return true; }},
#ifdef CIPHERS_X86_64_KERNELS
    {&avx2Set, runsAvx2},
    {&avx512Set, runsAvx512},
#endif
#ifdef CIPHERS_SIMD128_KERNELS
    {&simd128Set, [] { return true; }},
#endif
});

// The sets that the processor runs, and the choice made among them.
struct Choice {
  std::vector<const KernelSet*> available;
  const KernelSet* chosen = nullptr;
  std::string refusal;
};

std::string namesOf(const std::vector<const KernelSet*>& sets) {
  std::string names;
  for (const KernelSet* set : sets) {
    names += (names.empty() ? "" : " ") + std::string(set->name);
  }
  return names;
}

Choice choose(const char* asked) {
  Choice choice;
  for (const Build& build : builtSets) {
    if (build.runs()) {
      choice.available.push_back(build.set);
    }
  }
  choice.chosen = choice.available.back();
  const std::string_view name = asked == nullptr ? "" : asked;
  if (name.empty()) {
    return choice;
  }
  for (const KernelSet* set : choice.available) {
    if (set->name == name) {
      choice.chosen = set;
      return choice;
    }
  }
  const bool known = std::any_of(builtSets.begin(), builtSets.end(),
                                 [&name](const Build& build) { return build.set->name == name; });
  choice.refusal =
      "CIPHERS_KERNEL=" + std::string(name) +
      (known ? ": this processor cannot run that kernel set" : ": no such kernel set") +
      "; it runs: " + namesOf(choice.available);
  return choice;
}

const Choice& choice() {
  static const Choice made = choose(std::getenv("CIPHERS_KERNEL"));
  return made;
}

}  // namespace

const KernelSet& chosenKernels() {
  return *choice().chosen;
}

const KernelSet& portableKernels() {
  return portableSet;
}

std::span<const KernelSet* const> availableKernelSets() {
  return choice().available;
}

std::string kernelChoiceRefusal() {
  return choice().refusal;
}

std::string describeKernels() {
  return std::string(chosenKernels().name) + " (available: " + namesOf(choice().available) + ")";
}
