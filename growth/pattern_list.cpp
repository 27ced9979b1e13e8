#include "growth/pattern_list.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/page_array.h"

int32_t TriangleCount = 0;

QFTrNode::~QFTrNode() = default;

QFTrList::QFTrList() : first(new QFTrNode), last(first) {}

QFTrList::~QFTrList() { Clear(); }

void QFTrList::Append(PatternTriangle* triangle) {
  QFTrNode* node = nullptr;
  try {
    if (first == nullptr) {
      first = new QFTrNode;
      last = first;
    }
    node = new QFTrNode;
  } catch (...) {
    delete triangle;
    throw;
  }
  node->prev = last;
  node->payload = triangle;
  last->next = node;
  last = node;
}

namespace {

// Destroys node and every node after it, with their triangles.
void FreeNodes(QFTrNode* node) {
  while (node != nullptr) {
    QFTrNode* next = node->next;
    delete node->payload;
    delete node;
    node = next;
  }
}

}  // namespace

void QFTrList::Clear() {
  FreeNodes(first);
  first = nullptr;
  last = nullptr;
}

void SetPointFromCorner(__Point3ds& point, const TriangleCorner& corner, int number) {
  point.x = corner.x;
  point.y = corner.y;
  point.z = corner.z;
  point.nx = corner.nx;
  point.ny = corner.ny;
  point.nz = corner.nz;
  point.hasNormal = corner.hasNormal;
  point.hasTexture = 1;
  // Every triangle maps the same texture triangle: bottom middle, top left, top right.
  switch (number) {
    case 1:
      point.u = 0.5f;
      point.v = 0.98f;
      break;
    case 2:
      point.u = 0.01f;
      point.v = 0.01f;
      break;
    case 3:
      point.u = 0.98f;
      point.v = 0.01f;
      break;
    default:
      break;
  }
}

void BuildMeshArrays(QFTrList& list, int* point_count, int* triangle_count, __Point3ds** points,
                     __Triangle3ds** triangles) {
  if (list.first == nullptr) return;
  QFTrNode* node = list.first->next;
  delete list.first;  // the sentinel
  list.first = nullptr;
  list.last = nullptr;

  *point_count = 0;
  *triangle_count = 0;
  *points = nullptr;
  *triangles = nullptr;

  // More triangles than the vertex count can express cannot be drawn either.
  const int32_t total = TriangleCount;
  PageArray<__Point3ds> vertex_array;
  PageArray<__Triangle3ds> triangle_array;
  if (total > 0 && total <= INT32_MAX / 3) {
    vertex_array = AllocatePageArray<__Point3ds>(3 * static_cast<size_t>(total));
    triangle_array = AllocatePageArray<__Triangle3ds>(static_cast<size_t>(total));
  }
  if (!vertex_array || !triangle_array) {
    FreeNodes(node);
    return;
  }

  // Each node is freed as soon as it is copied, so the list and the arrays
  // never coexist in full.
  int32_t copied = 0;
  while (node != nullptr && copied < total) {
    QFTrNode* next = node->next;
    if (node->payload != nullptr) {
      const int32_t base = 3 * copied;
      __Triangle3ds& triangle = triangle_array[copied];
      triangle.a = base;
      triangle.b = base + 1;
      triangle.c = base + 2;
      triangle.material = 0;
      const TriangleCorner* corners = node->payload->corners;
      SetPointFromCorner(vertex_array[base], corners[0], 1);
      SetPointFromCorner(vertex_array[base + 1], corners[1], 2);
      SetPointFromCorner(vertex_array[base + 2], corners[2], 3);
      ++copied;
    }
    delete node->payload;
    delete node;
    node = next;
  }
  FreeNodes(node);

  *point_count = 3 * total;
  *triangle_count = copied;
  *points = vertex_array.release();
  *triangles = triangle_array.release();
}

void ScalePoints(float factor, int count, __Point3ds* points) {
  for (int i = 0; i < count; ++i) {
    points[i].x *= factor;
    points[i].y *= factor;
    points[i].z *= factor;
  }
}

void TranslatePoints(float dx, float dy, float dz, int count, __Point3ds* points) {
  for (int i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
    points[i].z += dz;
  }
}

namespace {

// Rotates the pair (p, q) through the centre (a, b), and the normal pair
// (m, n) when the vertex has a normal.
template <float __Point3ds::*P, float __Point3ds::*Q, float __Point3ds::*M, float __Point3ds::*N>
void RotatePoints(float a, float b, float angle, int count, __Point3ds* points) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  for (int i = 0; i < count; ++i) {
    __Point3ds& point = points[i];
    const float p = point.*P - a;
    const float q = point.*Q - b;
    point.*P = p * c - q * s + a;
    point.*Q = p * s + q * c + b;
    if (point.hasNormal) {
      const float m = point.*M;
      const float n = point.*N;
      point.*M = m * c - n * s;
      point.*N = m * s + n * c;
    }
  }
}

}  // namespace

void RotatePointsZ(float a, float b, float angle, int count, __Point3ds* points) {
  RotatePoints<&__Point3ds::x, &__Point3ds::y, &__Point3ds::nx, &__Point3ds::ny>(a, b, angle, count,
                                                                                 points);
}

void RotatePointsY(float a, float b, float angle, int count, __Point3ds* points) {
  RotatePoints<&__Point3ds::x, &__Point3ds::z, &__Point3ds::nx, &__Point3ds::nz>(a, b, angle, count,
                                                                                 points);
}

void RotatePointsX(float a, float b, float angle, int count, __Point3ds* points) {
  RotatePoints<&__Point3ds::y, &__Point3ds::z, &__Point3ds::ny, &__Point3ds::nz>(a, b, angle, count,
                                                                                 points);
}
