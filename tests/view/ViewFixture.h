#pragma once
// A view on a headless window in virtual time, and a log of its events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TransitionView/TransitionView.h"
#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"

namespace ls::test {

inline Bitmap Solid(int w, int h, Pixel p) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, p);
  return b;
}

inline bool AllPixels(const Bitmap& b, const Rect& r, Pixel p) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (b.At(x, y) != p) return false;
  return true;
}

constexpr Pixel kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
// "Reveal from left": the left X columns come from the new image, unscaled.
constexpr TShowStyle kRevealFromLeft = 5;

class ViewTest : public ::testing::Test {
 protected:
  static constexpr int W = 40, H = 30;
  HeadlessLoop loop;
  HeadlessWindow window{loop, W, H};
  TTransitionView view{window};
  std::vector<std::string> log;
  std::vector<uint32_t> frameTicks;  // virtual time of each OnProgress

  void SetUp() override {
    window.Show();
    loop.ProcessMessages();
    view.OnStart = [this] { log.push_back("start"); };
    view.OnComplete = [this] { log.push_back("complete"); };
    view.OnProgress = [this] {
      log.push_back("progress " + std::to_string(view.Progress()));
      frameTicks.push_back(loop.GetTickCount());
    };
    view.OnBeforeNewFrame = [this](const Bitmap&, Bitmap&) {
      log.push_back("before " + std::to_string(view.Progress()));
    };
    view.OnAfterNewFrame = [this](const Bitmap&, Bitmap&) {
      log.push_back("after " + std::to_string(view.Progress()));
    };
  }

  // Positions of the OnProgress events in the log.
  std::vector<int> Positions() const {
    std::vector<int> p;
    for (const auto& e : log)
      if (e.rfind("progress ", 0) == 0) p.push_back(std::stoi(e.substr(9)));
    return p;
  }
};

}  // namespace ls::test
