#pragma once

// From the call on, an allocation that fails ends the program at once: "ciphers: out of memory"
// on standard error, status 1. To be called first thing in main.
void endProgramWhenMemoryRunsOut() noexcept;
