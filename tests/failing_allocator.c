/* Makes allocations fail on purpose. Loaded with LD_PRELOAD into a program linked with glibc:
 * with FAIL_ALLOCATION_FROM=N the Nth allocation and every later one fail, as when the heap
 * stays exhausted; with COUNT_ALLOCATIONS_TO=FILE the number of allocations made is written to
 * FILE when the program exits normally. */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);

static unsigned long made;

/* Counts one more allocation and tells whether it has to fail. getenv and strtoul allocate
 * nothing, so they may be called from here. */
static int mustFail(void) {
  const char* from = getenv("FAIL_ALLOCATION_FROM");
  ++made;
  if (from != NULL && made >= strtoul(from, NULL, 10)) {
    errno = ENOMEM;
    return 1;
  }
  return 0;
}

void* malloc(size_t size) {
  return mustFail() ? NULL : __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  return mustFail() ? NULL : __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
  return mustFail() ? NULL : __libc_realloc(block, size);
}

__attribute__((destructor)) static void reportCount(void) {
  const char* path = getenv("COUNT_ALLOCATIONS_TO");
  char line[32];
  const int file = path != NULL ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
  if (file < 0) {
    return;
  }
  const ssize_t written = write(file, line, (size_t)snprintf(line, sizeof line, "%lu\n", made));
  (void)written;
  close(file);
}
