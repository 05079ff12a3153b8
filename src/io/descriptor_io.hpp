#pragma once

#include <cstddef>
#include <span>
#include <string>

// Plain reads and writes of file descriptors, under the console's stream buffers and the
// filters alike. A read or write interrupted by a signal is tried again. A descriptor that the
// parent made non-blocking is waited for until it is ready, and then tried again: its flags are
// shared with the parent, so they are never changed here. On Windows the C runtime's _read and
// _write serve; they have no non-blocking case.

// Reads up to buffer.size() bytes: the count read, 0 at the end, -1 with errno set on a failure.
std::ptrdiff_t readBlock(int descriptor, std::span<char> buffer) noexcept;

// Writes every byte: false, with errno set, when a write fails. Allocates nothing, so it can
// report that memory ran out.
bool writeAll(int descriptor, std::span<const char> bytes) noexcept;

// The line that says the output could not be written, for the errno of the write: empty where the
// reader closed the pipe early, which wants no more output and no complaint either.
std::string outputFailure(int error);

// Opens a file for reading, in binary mode on Windows: its descriptor, or -1 with errno set.
int openForReading(const char* path);

void closeDescriptor(int descriptor);

// Whether reading `input` would read back what is written to `output`, so that a run would feed
// on itself: both are the same regular file, and some of it is still to be read. A terminal, a
// pipe or a device may be both. Never on Windows, whose C runtime gives files no identity to
// compare.
bool readsOwnOutput(int input, int output);

// Makes a descriptor pass every byte as it is: on Windows it leaves text mode, elsewhere every
// descriptor already does.
void useBinaryMode(int descriptor);

// Gives a pipe a buffer of at least `size` bytes where the system allows it, so that a long
// stream passes in fewer reads and writes and fewer switches between its two ends. Anything
// else, a pipe already as large, or a refusal, is left as it is: it changes only the speed.
void enlargePipe(int descriptor, std::size_t size);
