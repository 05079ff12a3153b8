#pragma once

#include "kernels.hpp"

// The kernels for WebAssembly's 128-bit vectors, built where the module is (-msimd128): every
// engine the page and the package are for runs them.
namespace simd128 {

void shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                   std::size_t& position);

}  // namespace simd128
