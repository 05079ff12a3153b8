#include "out_of_memory.hpp"

#include <cstdlib>
#include <new>
#include <string_view>

#include "descriptor_buffers.hpp"

namespace {

// Called by operator new in place of throwing std::bad_alloc. Throwing would need memory for the
// exception, and where the C++ runtime could not set its emergency reserve aside at start-up, a
// throw without memory ends in std::terminate. So the message is a fixed string written straight
// to the descriptor. _Exit, not exit: the handler may run in the middle of any update, and the
// destructors and exit handlers that exit would run could find it half done or allocate again.
// Output not yet flushed is dropped with it: every line end flushes, so that is at most the
// unfinished line.
[[noreturn]] void reportOutOfMemory() {
  constexpr std::string_view message = "ciphers: out of memory\n";
  writeAll(2, message.data(), message.size());
  std::_Exit(1);
}

}  // namespace

void endProgramWhenMemoryRunsOut() noexcept {
  std::set_new_handler(reportOutOfMemory);
}
