#include "growth/pattern_storage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#if __has_include(<sanitizer/asan_interface.h>)
// Marks room that holds no object, so that the sanitizer build still reports
// a use after destruction; these do nothing in other builds.
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace {

// A block starts with this header; then come slots, each the address of its
// block followed by the object.
struct Block {
  std::size_t live;   // objects created in it and not yet destroyed
  std::size_t used;   // bytes from the block's start taken so far
  std::size_t bytes;  // the whole block
};

constexpr std::size_t kAlign = alignof(void*);
constexpr std::size_t kHeader = (sizeof(Block) + kAlign - 1) / kAlign * kAlign;
constexpr std::size_t kPrefix = sizeof(Block*);

// The first block is a page; each one taken while others are held is twice
// the last, up to a megabyte (about eight thousand triangles with their nodes).
constexpr std::size_t kFirstBlock = 4096;
constexpr int kDoublings = 8;

// The block being filled, complemented: the leak checker of the sanitizer
// build then does not count it as reachable from here, and still reports
// objects that were never destroyed.
uintptr_t g_open = ~uintptr_t{0};
int g_blocks = 0;
std::size_t g_bytes = 0;

Block* OpenBlock() { return reinterpret_cast<Block*>(~g_open); }

std::size_t SlotBytes(std::size_t bytes) {
  return kPrefix + (bytes + kAlign - 1) / kAlign * kAlign;
}

Block* NewBlock(std::size_t slot) {
  const std::size_t bytes = std::max(kFirstBlock << std::min(g_blocks, kDoublings), kHeader + slot);
  auto* block = static_cast<Block*>(::operator new(bytes));
  block->live = 0;
  block->used = kHeader;
  block->bytes = bytes;
  ASAN_POISON_MEMORY_REGION(reinterpret_cast<char*>(block) + kHeader, bytes - kHeader);
  // The block filled so far stays until its last object is destroyed.
  g_open = ~reinterpret_cast<uintptr_t>(block);
  ++g_blocks;
  g_bytes += bytes;
  return block;
}

}  // namespace

void* AllocatePatternObject(std::size_t bytes) {
  const std::size_t slot = SlotBytes(bytes);
  Block* block = OpenBlock();
  if (block == nullptr || block->bytes - block->used < slot) block = NewBlock(slot);
  char* at = reinterpret_cast<char*>(block) + block->used;
  block->used += slot;
  ++block->live;
  ASAN_UNPOISON_MEMORY_REGION(at, kPrefix + bytes);
  std::memcpy(at, &block, kPrefix);
  return at + kPrefix;
}

void FreePatternObject(void* object, std::size_t bytes) noexcept {
  if (object == nullptr) return;
  char* at = static_cast<char*>(object) - kPrefix;
  Block* block;
  std::memcpy(&block, at, kPrefix);
  ASAN_POISON_MEMORY_REGION(at, SlotBytes(bytes));
  if (--block->live != 0) return;
  if (block == OpenBlock()) g_open = ~uintptr_t{0};
  --g_blocks;
  g_bytes -= block->bytes;
  ASAN_UNPOISON_MEMORY_REGION(block, block->bytes);
  ::operator delete(block);
}

std::size_t PatternStorageBytes() { return g_bytes; }
