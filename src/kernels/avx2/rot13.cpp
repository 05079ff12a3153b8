#include "avx2.hpp"
#include "portable/loops.hpp"

CIPHERS_AVX2 void avx2::rotate13(std::span<char> text) {
  loops::rotate13(text);
}
