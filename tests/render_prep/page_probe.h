// Watches the page allocator for the tests of this folder: the test program
// defines VirtualAlloc and VirtualFree itself, counts what is live and can be
// told to refuse an allocation, and forwards everything else to the stand-in.
#pragma once

#include <cstddef>

namespace page_probe {

// Allocations taken and not yet freed.
int Live();
// Allocations taken since the last Reset.
int Taken();
// Size asked for by the latest allocation.
size_t LastSize();
// The next allocation number (1-based, counted from the last Reset) fails;
// 0 for none.
void FailAt(int call);
void Reset();

}  // namespace page_probe
