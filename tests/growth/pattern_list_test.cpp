#include "effect/pattern_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

PatternTriangle* MakeTriangle(float base) {
    auto* t = new PatternTriangle{};
    for (int i = 0; i < 3; ++i) {
        TriangleCorner& c = t->corners[i];
        c.x = base + i;
        c.y = base + 10 * i;
        c.z = base + 100 * i;
        c.nx = 0.5f;
        c.ny = -0.5f;
        c.nz = 1;
        c.hasNormal = 1;
    }
    return t;
}

struct Mesh {
    int pointCount = -1;
    int triangleCount = -1;
    __Point3ds* points = nullptr;
    __Triangle3ds* triangles = nullptr;

    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
    ~Mesh() {
        if (points != nullptr) VirtualFree(points, 0, MEM_RELEASE);
        if (triangles != nullptr) VirtualFree(triangles, 0, MEM_RELEASE);
    }
    void Build(QFTrList& list) { BuildMeshArrays(list, &pointCount, &triangleCount, &points, &triangles); }
};

void AppendCounted(QFTrList& list, float base) {
    list.Append(MakeTriangle(base));
    ++TriangleCount;
}

TEST(MeshAssembly, EmptyListGivesAbsentArrays) {
    TriangleCount = 0;
    QFTrList list;
    Mesh mesh;
    mesh.Build(list);
    EXPECT_EQ(mesh.pointCount, 0);
    EXPECT_EQ(mesh.triangleCount, 0);
    EXPECT_EQ(mesh.points, nullptr);
    EXPECT_EQ(mesh.triangles, nullptr);
    EXPECT_EQ(list.first, nullptr);  // the sentinel is gone too
    EXPECT_EQ(list.last, nullptr);
}

TEST(MeshAssembly, ThreeTrianglesInAppendOrder) {
    TriangleCount = 0;
    QFTrList list;
    for (int k = 0; k < 3; ++k) AppendCounted(list, 1000.0f * k);
    Mesh mesh;
    mesh.Build(list);
    ASSERT_EQ(mesh.pointCount, 9);
    ASSERT_EQ(mesh.triangleCount, 3);
    const float u[3] = {0.5f, 0.01f, 0.98f};
    const float v[3] = {0.98f, 0.01f, 0.01f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(mesh.triangles[k].a, 3 * k);
        EXPECT_EQ(mesh.triangles[k].b, 3 * k + 1);
        EXPECT_EQ(mesh.triangles[k].c, 3 * k + 2);
        EXPECT_EQ(mesh.triangles[k].material, 0);
        for (int i = 0; i < 3; ++i) {
            const __Point3ds& p = mesh.points[3 * k + i];
            EXPECT_EQ(p.x, 1000.0f * k + i);
            EXPECT_EQ(p.y, 1000.0f * k + 10 * i);
            EXPECT_EQ(p.z, 1000.0f * k + 100 * i);
            EXPECT_EQ(p.nx, 0.5f);
            EXPECT_EQ(p.hasNormal, 1);
            EXPECT_EQ(p.hasTexture, 1);
            EXPECT_EQ(p.u, u[i]);
            EXPECT_EQ(p.v, v[i]);
        }
    }
    EXPECT_EQ(list.first, nullptr);
    list.Clear();  // frees nothing more (the sanitizer build catches a double free)
    EXPECT_EQ(list.first, nullptr);

    // A consumed list leaves the outputs of a second assembly as they are.
    __Point3ds* before = mesh.points;
    mesh.Build(list);
    EXPECT_EQ(mesh.points, before);
    EXPECT_EQ(mesh.triangleCount, 3);
}

TEST(MeshAssembly, CountDisagreeingWithTheList) {
    // More counted than appended: vertices stay for the count, triangles for the list.
    TriangleCount = 0;
    QFTrList shortList;
    AppendCounted(shortList, 1);
    AppendCounted(shortList, 2);
    TriangleCount = 4;
    Mesh shortMesh;
    shortMesh.Build(shortList);
    EXPECT_EQ(shortMesh.pointCount, 12);
    EXPECT_EQ(shortMesh.triangleCount, 2);
    EXPECT_EQ(shortMesh.points[6].x, 0.0f);

    // Fewer counted than appended: the rest of the list is freed uncopied.
    TriangleCount = 0;
    QFTrList longList;
    for (int k = 0; k < 4; ++k) AppendCounted(longList, static_cast<float>(k));
    TriangleCount = 1;
    Mesh longMesh;
    longMesh.Build(longList);
    EXPECT_EQ(longMesh.pointCount, 3);
    EXPECT_EQ(longMesh.triangleCount, 1);
    EXPECT_EQ(longList.first, nullptr);
}

TEST(PatternList, ClearAndDestructorFreeEverything) {
    auto* list = new QFTrList;
    list->Append(MakeTriangle(0));
    list->Append(MakeTriangle(1));
    EXPECT_EQ(list->first->payload, nullptr);
    EXPECT_EQ(list->last->prev, list->first->next);
    EXPECT_EQ(list->last->next, nullptr);
    delete list;  // the destructor clears

    QFTrList cleared;
    cleared.Clear();
    cleared.Clear();
    cleared.Append(MakeTriangle(2));  // a cleared list starts over
    ASSERT_NE(cleared.first, nullptr);
    EXPECT_EQ(cleared.first->next, cleared.last);
    EXPECT_EQ(cleared.last->payload->corners[0].x, 2.0f);
}

__Point3ds Vertex(float x, float y, float z, uint8_t hasNormal) {
    __Point3ds p{};
    p.x = x;
    p.y = y;
    p.z = z;
    p.nx = 1;
    p.ny = 0;
    p.nz = 0;
    p.hasNormal = hasNormal;
    p.hasTexture = 1;
    p.u = 0.25f;
    p.v = 0.75f;
    return p;
}

TEST(VertexTransforms, ScaleAndTranslateMovePositionsOnly) {
    __Point3ds p[2] = {Vertex(1, 2, 3, 1), Vertex(-4, 5, -6, 0)};
    ScalePoints(2, 2, p);
    EXPECT_EQ(p[0].x, 2.0f);
    EXPECT_EQ(p[0].y, 4.0f);
    EXPECT_EQ(p[0].z, 6.0f);
    EXPECT_EQ(p[1].z, -12.0f);
    EXPECT_EQ(p[0].nx, 1.0f);
    EXPECT_EQ(p[0].u, 0.25f);
    EXPECT_EQ(p[0].v, 0.75f);
    TranslatePoints(10, 20, 30, 2, p);
    EXPECT_EQ(p[1].x, 2.0f);
    EXPECT_EQ(p[1].y, 30.0f);
    EXPECT_EQ(p[1].z, 18.0f);
    EXPECT_EQ(p[1].nx, 1.0f);
}

TEST(VertexTransforms, RotationsTurnNormalsOnlyWithHasNormal) {
    const float quarter = 1.5707964f;
    __Point3ds z[2] = {Vertex(11, 5, 7, 1), Vertex(11, 5, 7, 0)};
    RotatePointsZ(10, 5, quarter, 2, z);  // about (10, 5): (11, 5) -> (10, 6)
    for (const __Point3ds& p : z) {
        EXPECT_NEAR(p.x, 10, 1e-5);
        EXPECT_NEAR(p.y, 6, 1e-5);
        EXPECT_EQ(p.z, 7.0f);
    }
    EXPECT_NEAR(z[0].nx, 0, 1e-6);
    EXPECT_NEAR(z[0].ny, 1, 1e-6);
    EXPECT_EQ(z[1].nx, 1.0f);
    EXPECT_EQ(z[1].ny, 0.0f);

    __Point3ds y[2] = {Vertex(11, 5, 7, 1), Vertex(11, 5, 7, 0)};
    RotatePointsY(10, 7, quarter, 2, y);  // x, z about (10, 7): (11, 7) -> (10, 8)
    for (const __Point3ds& p : y) {
        EXPECT_NEAR(p.x, 10, 1e-5);
        EXPECT_EQ(p.y, 5.0f);
        EXPECT_NEAR(p.z, 8, 1e-5);
    }
    EXPECT_NEAR(y[0].nx, 0, 1e-6);
    EXPECT_NEAR(y[0].nz, 1, 1e-6);
    EXPECT_EQ(y[1].nx, 1.0f);
    EXPECT_EQ(y[1].nz, 0.0f);

    __Point3ds x[2] = {Vertex(11, 6, 7, 1), Vertex(11, 6, 7, 0)};
    x[0].nx = 0;
    x[0].ny = 1;
    RotatePointsX(5, 7, quarter, 2, x);  // y, z about (5, 7): (6, 7) -> (5, 8)
    for (const __Point3ds& p : x) {
        EXPECT_EQ(p.x, 11.0f);
        EXPECT_NEAR(p.y, 5, 1e-5);
        EXPECT_NEAR(p.z, 8, 1e-5);
    }
    EXPECT_NEAR(x[0].ny, 0, 1e-6);
    EXPECT_NEAR(x[0].nz, 1, 1e-6);
    EXPECT_EQ(x[1].nx, 1.0f);
}

}  // namespace
