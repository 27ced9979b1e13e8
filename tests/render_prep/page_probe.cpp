#include "page_probe.h"

#include <dlfcn.h>
#include <windows.h>

#include <cstdlib>
#include <set>

namespace {

struct State {
    std::set<void*> live;
    int taken = 0;
    size_t last_size = 0;
    int fail_at = 0;
};

State& Probe() {
    static State state;
    return state;
}

template <typename Fn>
Fn Forward(const char* name) {
    void* next = dlsym(RTLD_NEXT, name);
    if (!next) std::abort();
    return reinterpret_cast<Fn>(next);
}

}  // namespace

extern "C" LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect) {
    static const auto next = Forward<LPVOID (*)(LPVOID, SIZE_T, DWORD, DWORD)>("VirtualAlloc");
    State& state = Probe();
    state.last_size = size;
    if (++state.taken == state.fail_at) return nullptr;
    LPVOID block = next(address, size, allocation_type, protect);
    if (block) state.live.insert(block);
    return block;
}

extern "C" BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type) {
    static const auto next = Forward<BOOL (*)(LPVOID, SIZE_T, DWORD)>("VirtualFree");
    Probe().live.erase(address);
    return next(address, size, free_type);
}

namespace page_probe {

int Live() { return static_cast<int>(Probe().live.size()); }
int Taken() { return Probe().taken; }
size_t LastSize() { return Probe().last_size; }
void FailAt(int call) { Probe().fail_at = call; }
void Reset() {
    Probe().taken = 0;
    Probe().fail_at = 0;
}

}  // namespace page_probe
