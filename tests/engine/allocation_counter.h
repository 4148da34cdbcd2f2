#pragma once

// Heap allocations made through the global operator new since the program started
// (the test executable that links allocation_counter.cpp replaces operator new).
long AllocationCount();
