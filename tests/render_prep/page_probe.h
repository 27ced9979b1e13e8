// Watches the page allocator for the tests of this folder: the test program
// takes over VirtualAlloc and VirtualFree (page_probe_posix.cpp over the
// stand-in, page_probe_win32.cpp on Windows), counts what is live and can be
// told to refuse an allocation, and forwards everything else to the system.
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

// For the platform's interposer: records a request and says whether it is
// the one to refuse; then records the block taken (null for none) or released.
bool Refuse(size_t size);
void Allocated(void* block);
void Released(void* block);

}  // namespace page_probe
