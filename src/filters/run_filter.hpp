#pragma once

#include <ostream>
#include <span>
#include <string>

#include "method_filters.hpp"

// Runs the filter over the files in order, as one stream, to standard output; no file, or "-",
// is standard input. A file that cannot be opened or read, or that is the output file itself
// (which would be read back as it grows), is reported on err by name and skipped; a line that a
// read error cut is not judged. A refused line is reported as FILE:LINE, in the file that holds
// the fault, and ends the run, as does output that cannot be written (quietly where the reader
// has gone); a filter that has enough ends it quietly. Returns the exit status: 0 when all went
// well, 1 otherwise.
int runFilter(MethodFilter& filter, std::span<const std::string> files, std::ostream& err);

// Writes to standard output. When that fails, says so on err, quietly where the reader has
// gone, and returns false.
bool writeOutput(std::span<const char> output, std::ostream& err);
