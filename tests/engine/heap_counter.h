#pragma once

// Heap allocations made since the program started: every global operator new
// and every malloc, calloc and realloc from the project's own code (the test
// executable that links heap_counter.cpp replaces operator new and wraps the C
// allocator at link time).
long HeapAllocationCount();
