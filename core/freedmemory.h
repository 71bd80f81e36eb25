#ifndef CORVANE_CORE_FREEDMEMORY_H
#define CORVANE_CORE_FREEDMEMORY_H

// Hands memory the program has freed back to the system. A catalogue of thousands of servers
// passes through buffers of megabytes, read on threads of their own; the allocator keeps what
// they freed for later use, which the program, once logged in, rarely has. Call it when a large
// document has been dealt with, not in a loop: it walks the whole heap.
void returnFreedMemory();

// Set once at start, before any thread: keeps blocks of a quarter megabyte and more out of the
// heap, so that a freed document goes back to the system at once, and lets the threads share
// two heaps instead of one each, whose leftovers would add up over many logins.
void keepFreedMemoryReturnable();

#endif
