// Memory exhaustion on demand for the tests: the test binary replaces the
// global operator new so that, while a limit is set, only that many more
// allocations succeed.
#pragma once

// A negative limit lifts it.
void SetAllocationLimit(long allocations);
