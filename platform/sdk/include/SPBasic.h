// Stand-in for the host's basic suite: the table through which every other
// suite is looked up by name and version.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int32_t SPErr;
enum { kSPNoError = 0, kSPSuiteNotFoundError = 0x53214e46 /* 'S!NF' */ };

struct SPBasicSuite {
  SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  SPErr (*ReleaseSuite)(const char* name, int32_t version);
  int32_t (*IsEqual)(const char* token1, const char* token2);
  SPErr (*AllocateBlock)(size_t size, void** block);
  SPErr (*FreeBlock)(void* block);
  SPErr (*ReallocateBlock)(void* block, size_t new_size, void** new_block);
  SPErr (*Undefined)(void);
};
