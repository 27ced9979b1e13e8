#include "growth/pattern_storage.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#if __has_include(<sanitizer/asan_interface.h>)
// Marks room that holds no object, so that the sanitizer build still reports
// a use after destruction; these do nothing in other builds.
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif
#if defined(__SANITIZE_ADDRESS__)
// Reads the object's first byte, which the sanitizer build reports when the
// object is already destroyed: a second destruction.
#define EXPECT_LIVE(object) ((void)*static_cast<const volatile char*>(object))
#else
#define EXPECT_LIVE(object) ((void)(object))
#endif

namespace {

// A block starts with this header; the objects follow it one after another,
// with nothing between them.
struct Block {
  Block* older;       // the held block taken just before it, or null
  Block* newer;       // the held block taken just after it, or null
  std::size_t bytes;  // the whole block
  std::size_t used;   // bytes from the block's start taken so far
  std::size_t live;   // objects created in it and not yet destroyed
};

constexpr std::size_t kAlign = alignof(void*);
constexpr std::size_t kHeader = (sizeof(Block) + kAlign - 1) / kAlign * kAlign;

// The first block is 64 KiB, the page allocator's granularity on Windows;
// each one taken while others are held is twice the last, up to 2 MiB (about
// seventeen thousand triangles with their nodes), the size of a huge page.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr int kDoublings = 5;

Block* g_oldest = nullptr;
Block* g_newest = nullptr;   // the block being filled
Block* g_freeing = nullptr;  // the block of the latest destruction
int g_blocks = 0;
std::size_t g_bytes = 0;

// A heap object that exists while any block is held, its address kept only
// complemented. The leak checker of the sanitizer build sees no page memory;
// it reports this object instead when objects are never destroyed.
uintptr_t g_marker = 0;

std::size_t SlotBytes(std::size_t bytes) { return (bytes + kAlign - 1) / kAlign * kAlign; }

Block* NewBlock(std::size_t slot) {
  const std::size_t bytes = std::max(kFirstBlock << std::min(g_blocks, kDoublings), kHeader + slot);
  void* marker = g_blocks == 0 ? ::operator new(1) : nullptr;
  void* pages = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (pages == nullptr) {
    ::operator delete(marker);
    throw std::bad_alloc();
  }
  if (marker != nullptr) g_marker = ~reinterpret_cast<uintptr_t>(marker);
  auto* block = static_cast<Block*>(pages);
  *block = Block{g_newest, nullptr, bytes, kHeader, 0};
  ASAN_POISON_MEMORY_REGION(static_cast<char*>(pages) + kHeader, bytes - kHeader);
  (g_newest != nullptr ? g_newest->newer : g_oldest) = block;
  g_newest = block;
  ++g_blocks;
  g_bytes += bytes;
  return block;
}

void ReleaseBlock(Block* block) {
  (block->older != nullptr ? block->older->newer : g_oldest) = block->newer;
  (block->newer != nullptr ? block->newer->older : g_newest) = block->older;
  // Destruction in creation order goes on in the next block.
  g_freeing = block->newer;
  --g_blocks;
  g_bytes -= block->bytes;
  ASAN_UNPOISON_MEMORY_REGION(block, block->bytes);
  VirtualFree(block, 0, MEM_RELEASE);
  if (g_blocks == 0) ::operator delete(reinterpret_cast<void*>(~g_marker));
}

bool Holds(const Block* block, const void* object) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t at = reinterpret_cast<uintptr_t>(object);
  return at >= start + kHeader && at < start + block->used;
}

// The block of a live object. Objects are destroyed mostly in the order they
// were created, so the block of the latest destruction is tried first.
Block* BlockOf(const void* object) {
  if (g_freeing != nullptr && Holds(g_freeing, object)) return g_freeing;
  for (Block* block = g_newest; block != nullptr; block = block->older)
    if (Holds(block, object)) return g_freeing = block;
  std::abort();  // not an object of this storage
}

}  // namespace

void* AllocatePatternObject(std::size_t bytes) {
  const std::size_t slot = SlotBytes(bytes);
  Block* block = g_newest;
  if (block == nullptr || block->bytes - block->used < slot) block = NewBlock(slot);
  char* at = reinterpret_cast<char*>(block) + block->used;
  block->used += slot;
  ++block->live;
  ASAN_UNPOISON_MEMORY_REGION(at, bytes);
  return at;
}

void FreePatternObject(void* object, std::size_t bytes) noexcept {
  if (object == nullptr) return;
  EXPECT_LIVE(object);
  Block* block = BlockOf(object);
  ASAN_POISON_MEMORY_REGION(object, SlotBytes(bytes));
  if (--block->live == 0) ReleaseBlock(block);
}

std::size_t PatternStorageBytes() { return g_bytes; }
