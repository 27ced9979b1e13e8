#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include <gtest/gtest.h>

#include "windows.h"

namespace {

const size_t kPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));

bool Mapped(const void* p) { return msync(const_cast<void*>(p), kPage, MS_ASYNC) == 0; }

TEST(PageAllocator, GivesZeroedWritablePagesAndReleasesTheWholeReservation) {
  const size_t size = 3 * kPage + 1;  // rounds up to four pages
  auto* p = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % kPage, 0u);
  size_t nonzero = 0;
  for (size_t i = 0; i < 4 * kPage; ++i) nonzero += p[i] != 0;
  EXPECT_EQ(nonzero, 0u);
  p[0] = 1;
  p[4 * kPage - 1] = 2;

  EXPECT_EQ(VirtualFree(p, 0, MEM_RELEASE), TRUE);
  EXPECT_FALSE(Mapped(p));
  EXPECT_FALSE(Mapped(p + 3 * kPage));
  EXPECT_EQ(VirtualFree(p, 0, MEM_RELEASE), FALSE) << "released twice";
}

TEST(PageAllocator, AHugePageOrMoreStartsOnAHugePageBoundary) {
  const size_t size = (size_t{3} << 20) + kPage;
  auto* p = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (size_t{2} << 20), 0u);
  p[size - 1] = 1;
  EXPECT_EQ(VirtualFree(p, 0, MEM_RELEASE), TRUE);
  EXPECT_FALSE(Mapped(p + size - kPage));
}

TEST(PageAllocator, RefusesWhatItCannotServe) {
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, SIZE_MAX, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, size_t{1} << 62, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE),
            nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, kPage, MEM_COMMIT, 0x02 /* read-only */), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, kPage, MEM_RESERVE, PAGE_READWRITE), nullptr)
      << "reserve without commit";

  EXPECT_EQ(VirtualFree(nullptr, 0, MEM_RELEASE), FALSE);
  int not_from_the_allocator = 0;
  EXPECT_EQ(VirtualFree(&not_from_the_allocator, 0, MEM_RELEASE), FALSE);

  auto* p =
      static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(VirtualFree(p + kPage, 0, MEM_RELEASE), FALSE) << "inside a reservation";
  EXPECT_EQ(VirtualFree(p, kPage, MEM_RELEASE), FALSE) << "release takes size 0";
  EXPECT_TRUE(Mapped(p));
  EXPECT_EQ(VirtualFree(p, 0, MEM_RELEASE), TRUE);
}

}  // namespace
