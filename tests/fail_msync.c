/* Preloaded into rostrel-cli by the tests: msync fails with EIO, as on a disk
   that refuses a write. */
#include <errno.h>
#include <stddef.h>

int msync(void* address, size_t length, int flags) {
  (void)address;
  (void)length;
  (void)flags;
  errno = EIO;
  return -1;
}
