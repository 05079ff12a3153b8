#include <iostream>

#include "console/menu_loop.hpp"

int main() {
  // Unsynchronised streams keep their own buffers: one write per flush, and no read per character.
  std::ios::sync_with_stdio(false);
  return runMenuLoop(std::cin, std::cout, std::cerr);
}
