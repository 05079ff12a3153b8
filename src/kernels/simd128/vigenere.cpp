#include <wasm_simd128.h>

#include <cstdint>

#include "portable/portable.hpp"
#include "simd128.hpp"
#include "vigenere_rules.hpp"

namespace {

constexpr std::size_t block = 16;
static_assert(block <= vigenereLookAhead);

// The vector's bytes moved up by `bytes` places, zeros coming in at the bottom.
template <int bytes>
v128_t shiftUp(v128_t v) {
  const v128_t zero = wasm_i64x2_const(0, 0);
  return wasm_i8x16_shuffle(zero, v, 16 - bytes, 17 - bytes, 18 - bytes, 19 - bytes, 20 - bytes,
                            21 - bytes, 22 - bytes, 23 - bytes, 24 - bytes, 25 - bytes, 26 - bytes,
                            27 - bytes, 28 - bytes, 29 - bytes, 30 - bytes, 31 - bytes);
}

// Shifts the text's whole blocks of 16 bytes at once; returns how many bytes it shifted, and
// moves `position` on by the letters among them. A letter's key letter is the one at its count
// of letters before it in the block, which a byte shuffle picks out of the 16 due next.
std::size_t shiftBlocks(std::span<char> text, const char* shifts, std::size_t period,
                        std::size_t& position) {
  const v128_t lastLetter = wasm_i8x16_splat(alphabetSize - 1);
  std::size_t done = 0;
  for (; text.size() - done >= block; done += block) {
    char* const at = text.data() + done;
    const v128_t bytes = wasm_v128_load(at);
    // Clearing the 0x20 bit maps the small letters onto the capitals, and no other byte.
    const v128_t letter =
        wasm_i8x16_sub(wasm_v128_andnot(bytes, wasm_i8x16_splat(0x20)), wasm_i8x16_splat('A'));
    const v128_t isLetter = wasm_i8x16_eq(wasm_u8x16_min(letter, lastLetter), letter);
    const v128_t ones = wasm_v128_and(isLetter, wasm_i8x16_splat(1));
    v128_t before = shiftUp<1>(ones);
    before = wasm_i8x16_add(before, shiftUp<1>(before));
    before = wasm_i8x16_add(before, shiftUp<2>(before));
    before = wasm_i8x16_add(before, shiftUp<4>(before));
    before = wasm_i8x16_add(before, shiftUp<8>(before));
    const v128_t keyShift = wasm_i8x16_swizzle(wasm_v128_load(shifts + position), before);
    v128_t shifted = wasm_i8x16_add(letter, keyShift);
    shifted = wasm_i8x16_sub(
        shifted, wasm_v128_and(wasm_i8x16_gt(shifted, lastLetter), wasm_i8x16_splat(alphabetSize)));
    const v128_t enciphered = wasm_i8x16_add(shifted, wasm_i8x16_splat('A'));
    wasm_v128_store(at, wasm_v128_bitselect(enciphered, bytes, isLetter));
    position += static_cast<std::size_t>(__builtin_popcount(wasm_i8x16_bitmask(isLetter)));
    if (position >= period) {
      position -= period;
    }
  }
  return done;
}

}  // namespace

// Whole blocks at once, and the rest of the text byte by byte.
void simd128::shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                            std::size_t& position) {
  const std::size_t done = shiftBlocks(text, shifts, period, position);
  portable::shiftVigenere(text.subspan(done), shifts, period, position);
}
