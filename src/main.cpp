#include <iostream>
#include <span>
#include <string>

#include "command_line.hpp"
#include "kernels.hpp"
#include "out_of_memory.hpp"

int main(int argc, char* argv[]) {
  endProgramWhenMemoryRunsOut();
  if (const std::string refusal = kernelChoiceRefusal(); !refusal.empty()) {
    std::cerr << "ciphers: " << refusal << "\n";
    return 2;
  }
  return runProgram(std::span(argv, static_cast<std::size_t>(argc)));
}
