#include "core/freedmemory.h"

// The system's allocator returns large blocks by itself.
void returnFreedMemory() {}

void keepFreedMemoryReturnable() {}
