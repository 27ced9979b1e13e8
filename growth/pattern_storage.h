// Storage for the pattern list's nodes and triangles. Growth creates millions
// of these small objects one after another and mesh assembly destroys them in
// the same order, so they are placed one after another in blocks of whole
// pages from the page allocator; a block goes back to the system as soon as
// the last object in it is destroyed. Creating an object costs a few stores,
// walking the list walks memory in order, and nothing stays reserved once
// every object is gone.
//
// Like TriangleCount, the storage belongs to the one thread that grows the
// pattern; it takes no lock.
#pragma once

#include <cstddef>

// Room for one object of the given size whose alignment is at most a
// pointer's. Throws std::bad_alloc when a new block is needed and the page
// allocator (or the heap, for the storage's own record) refuses it.
void* AllocatePatternObject(std::size_t bytes);

// Gives back the room of an object of the given size; null does nothing.
void FreePatternObject(void* object, std::size_t bytes) noexcept;

// Bytes of the blocks the storage holds: 0 once every object is destroyed.
std::size_t PatternStorageBytes();
