#include "out_of_memory.hpp"

#include <cstdlib>
#include <new>
#include <string_view>

#include "descriptor_buffers.hpp"

// A fixed string written straight to the descriptor. _Exit, not exit: the call may come in the
// middle of any update, and the destructors and exit handlers that exit would run could find it
// half done, or allocate again. Output not yet flushed is dropped: every line end flushes, so in
// the dialogue that is at most the unfinished line.
void endOutOfMemory() noexcept {
  constexpr std::string_view message = "ciphers: out of memory\n";
  writeAll(2, message.data(), message.size());
  std::_Exit(1);
}

// operator new calls the handler in place of throwing std::bad_alloc. A throw needs memory for
// the exception, and where the C++ runtime could not set its emergency reserve aside at start-up
// (the heap was already too small then), throwing without memory ends in std::terminate.
void endProgramWhenMemoryRunsOut() noexcept {
  std::set_new_handler(endOutOfMemory);
}
