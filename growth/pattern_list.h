// The pattern list: the generated triangles on their way from the growth
// generators to the engine, and the mesh assembly that turns them into the
// engine's vertex and triangle arrays.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/qf_engine.h"
#include "growth/pattern_storage.h"

// One corner of a generated triangle, in frame pixels about the frame centre;
// z is the height, larger nearer the viewer.
struct TriangleCorner {
  float x, y, z;
  float nx, ny, nz;
  uint8_t hasNormal;
};

struct PatternTriangle {
  TriangleCorner corners[3];
  uint32_t level;  // recursion level of the branching that made it, else 0

  // Created with new like any heap object, in the pattern storage.
  static void* operator new(std::size_t bytes) { return AllocatePatternObject(bytes); }
  static void operator delete(void* object, std::size_t bytes) noexcept {
    FreePatternObject(object, bytes);
  }
};

class QFTrNode {
 public:
  QFTrNode() = default;
  QFTrNode(const QFTrNode&) = delete;
  QFTrNode& operator=(const QFTrNode&) = delete;
  virtual ~QFTrNode();

  // Destroyed through the virtual destructor, whose deleting form gives the
  // room back to the pattern storage.
  static void* operator new(std::size_t bytes) { return AllocatePatternObject(bytes); }
  static void operator delete(void* object, std::size_t bytes) noexcept {
    FreePatternObject(object, bytes);
  }

  QFTrNode* prev = nullptr;
  QFTrNode* next = nullptr;
  PatternTriangle* payload = nullptr;  // owned by the list; null in the sentinel
};

static_assert(alignof(PatternTriangle) <= alignof(void*) && alignof(QFTrNode) <= alignof(void*),
              "the pattern storage aligns its objects as a pointer");

// A sentinel followed by the triangles in the order they were appended.
// first is null once the list has been consumed or cleared.
struct QFTrList {
  QFTrList();
  QFTrList(const QFTrList&) = delete;
  QFTrList& operator=(const QFTrList&) = delete;
  ~QFTrList();

  // Takes ownership of triangle. When the node cannot be allocated the
  // triangle is deleted and std::bad_alloc passes on; the list is unchanged.
  // A consumed or cleared list starts over with a new sentinel.
  void Append(PatternTriangle* triangle);
  // Frees every node and triangle, the sentinel included.
  void Clear();

  QFTrNode* first;
  QFTrNode* last;
};

// Triangles created during the current render; the render handlers zero it
// before growth and every generator raises it for each triangle it appends.
extern int32_t TriangleCount;

// Copies the list into VirtualAlloc'ed arrays (for the caller to take into
// PageArrays, engine/page_array.h), three unshared vertices per
// triangle, and frees the list as it goes. A list whose first pointer is null
// leaves the outputs alone. With nothing to copy, or when the arrays cannot be
// allocated, both arrays are null and both counts 0.
void BuildMeshArrays(QFTrList& list, int* point_count, int* triangle_count, __Point3ds** points,
                     __Triangle3ds** triangles);

// Copies one corner into one vertex with the texture coordinates of corner
// number 1, 2 or 3; any other number leaves u and v alone.
void SetPointFromCorner(__Point3ds& point, const TriangleCorner& corner, int number);

void ScalePoints(float factor, int count, __Point3ds* points);
void TranslatePoints(float dx, float dy, float dz, int count, __Point3ds* points);
// Rotations through the centre (a, b) of the named axis' plane; normals turn
// with the positions only where the vertex's has-normal byte is set.
void RotatePointsZ(float a, float b, float angle, int count, __Point3ds* points);
void RotatePointsY(float a, float b, float angle, int count, __Point3ds* points);
void RotatePointsX(float a, float b, float angle, int count, __Point3ds* points);
