#pragma once

// Ends the program at once for want of memory: "ciphers: out of memory" on standard error,
// status 1. It allocates nothing, so it may be called where an allocation has just failed: by
// operator new, or by the allocator of a C library that would otherwise end the program its way.
[[noreturn]] void endOutOfMemory() noexcept;

// From the call on, an allocation through operator new that fails ends the program with
// endOutOfMemory. To be called first thing in main.
void endProgramWhenMemoryRunsOut() noexcept;
