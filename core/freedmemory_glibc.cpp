#include "core/freedmemory.h"

#include <malloc.h>

void returnFreedMemory()
{
    // Every arena, the reader threads' too.
    malloc_trim(0);
}

void keepFreedMemoryReturnable()
{
    // A fixed threshold: glibc would otherwise raise it to the size of each large block freed,
    // and the next document's megabytes would come from the heap and stay there.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_ARENA_MAX, 2);
}
