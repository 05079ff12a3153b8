#pragma once

#include <istream>
#include <ostream>

#include "line_editor.hpp"
#include "method_runs.hpp"

// What the dialogue runs with besides its streams.
struct DialogueOptions {
  LineEditor* editor = nullptr;  // a terminal's line editor, which `in` then reads through
  Clock clock = currentTime;
};

// The whole dialogue: the menu, the choice, the text, one method run per pass, until the user
// chooses Q (status 0) or the input ends at the menu (status 0). Input that ends in the middle
// of a request or cannot be read, output that cannot be written, and memory that runs out stop
// it with status 1 and a line on err (none for a reader that closed the pipe).
int runMenuLoop(std::istream& in, std::ostream& out, std::ostream& err,
                const DialogueOptions& options = {});
