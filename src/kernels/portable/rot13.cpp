#include "loops.hpp"
#include "portable.hpp"

void portable::rotate13(std::span<char> text) {
  loops::rotate13(text);
}
