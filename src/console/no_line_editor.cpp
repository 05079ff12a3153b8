#include "line_editor.hpp"

// A build without line editing reads every input plainly.
std::unique_ptr<LineEditor> openLineEditor() {
  return nullptr;
}
