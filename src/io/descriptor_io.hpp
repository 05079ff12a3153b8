#pragma once

#include <cstddef>
#include <span>

// Plain reads and writes of file descriptors, for the filters, which move large blocks and
// look at every result themselves. On Windows they go through the C runtime's _read and _write.

// Reads up to buffer.size() bytes: the count read, 0 at the end, -1 with errno set on a failure.
// An interrupted read is made again, and a descriptor that has nothing yet is waited for.
std::ptrdiff_t readBlock(int descriptor, std::span<char> buffer);

// Writes every byte: false, with errno set, when a write fails.
bool writeAll(int descriptor, std::span<const char> bytes);

// Opens a file for reading, in binary mode on Windows: its descriptor, or -1 with errno set.
int openForReading(const char* path);

void closeDescriptor(int descriptor);

// Makes a descriptor pass every byte as it is: on Windows it leaves text mode, elsewhere every
// descriptor already does.
void useBinaryMode(int descriptor);
