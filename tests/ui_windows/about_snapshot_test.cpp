// The About dialog as the screen shows it, through qf-host's about command
// run in this process: the normal look, Close hovered and Close pressed, each
// compared with a kept picture within a small tolerance for font rendering.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "qf_host/dialog_driver.h"
#include "qf_host/image.h"
#include "qf_host/png_io.h"

namespace {

// Pixels whose channels differ by more than kChannelSlack from the kept
// picture may make up at most kSlackShare of it.
constexpr int kChannelSlack = 48;
constexpr double kSlackShare = 0.005;

int DifferentPixels(const qfhost::Image& a, const qfhost::Image& b) {
  int count = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(a.pixel(x, y)[c] - b.pixel(x, y)[c]) > kChannelSlack) {
          ++count;
          break;
        }
  return count;
}

TEST(AboutDialog, SnapshotsMatchTheKeptPictures) {
  const std::string out = QF_SNAPSHOT_OUT;
  const std::string events = out + "/snapshot_events.txt";
  {
    std::ofstream e(events);
    // Hovered and pressed are snapped before Close's tooltip pops up: its
    // coming and going moves the mouse over the button, which turns a
    // pressed button back to hovered.
    e << "snap " << out << "/about_normal.png\n"
      << "move 465 265\nsnap " << out << "/about_close_hover.png\n"
      << "down\nsnap " << out << "/about_close_pressed.png\n"
      << "move 300 100\nup\n";
  }
  ASSERT_EQ(qfhost::RunAbout(QF_FLORAL_PATH, out + "/about_left_open.png", events), 0);
  for (const char* name : {"about_normal", "about_close_hover", "about_close_pressed"}) {
    SCOPED_TRACE(name);
    const qfhost::Image got = qfhost::ReadPng(out + "/" + name + ".png");
    const qfhost::Image kept = qfhost::ReadPng(std::string(QF_SNAPSHOTS) + "/" + name + ".png");
    ASSERT_EQ(got.width, kept.width);
    ASSERT_EQ(got.height, kept.height);
    EXPECT_LE(DifferentPixels(got, kept), kSlackShare * got.width * got.height);
  }
}

}  // namespace
