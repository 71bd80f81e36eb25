#include "core/freedmemory.h"

#include <malloc.h>

void returnFreedMemory()
{
    // Every arena, the reader threads' too.
    malloc_trim(0);
}
