#include <iostream>
#include <memory>

#include "console/line_editor.hpp"
#include "console/menu_loop.hpp"

int main() {
  // Unsynchronised streams keep their own buffers: one write per flush, and no read per character.
  std::ios::sync_with_stdio(false);
  // In a terminal the lines are typed through the line editor.
  const std::unique_ptr<LineEditor> editor = openLineEditor();
  std::istream edited(editor.get());
  return runMenuLoop(editor ? edited : std::cin, std::cout, std::cerr, editor.get());
}
