#pragma once

#include "kernels.hpp"

// The plain kernels, which every processor runs: the reference of every other set.
namespace portable {

void rotate13(std::span<char> text);
void shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                   std::size_t& position);
std::size_t encodeWalk(std::string_view text, const std::uint8_t* parities, std::int32_t& last,
                       char*& out);
void refillMt19937(std::uint32_t* state, std::uint8_t* parities);

}  // namespace portable
