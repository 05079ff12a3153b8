#include <span>

#include "command_line.hpp"
#include "out_of_memory.hpp"

int main(int argc, char* argv[]) {
  endProgramWhenMemoryRunsOut();
  return runProgram(std::span(argv, static_cast<std::size_t>(argc)));
}
