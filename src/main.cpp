#include <span>

#include "command_line.hpp"

int main(int argc, char* argv[]) {
  return runProgram(std::span(argv, static_cast<std::size_t>(argc)));
}
