#pragma once

#include <istream>
#include <ostream>

// The whole dialogue: the menu, the choice, the text, one method run per pass, until the user
// chooses Q (status 0) or the input ends at the menu (status 0). Input that ends in the middle
// of a request, and output that cannot be written, stop it with status 1 and a line on err.
#include "console/line_editor.hpp"

int runMenuLoop(std::istream& in, std::ostream& out, std::ostream& err,
                LineEditor* editor = nullptr);
