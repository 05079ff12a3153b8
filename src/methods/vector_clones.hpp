#pragma once

// Marks a function whose loops are also built for 256-bit vectors, the build chosen when the
// program starts where the processor has them (ELF x86-64: the C library picks the clone).
// The helpers it calls are always inlined, so that they are built as their caller is.
#if defined(__x86_64__) && defined(__ELF__)
#define CIPHERS_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#define CIPHERS_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define CIPHERS_VECTOR_CLONES
#define CIPHERS_ALWAYS_INLINE inline
#endif
