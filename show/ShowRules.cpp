#include "show/ShowRules.h"

#include <algorithm>

namespace ls {

int NextPictureInOrder(int current, int imageCount) {
  const int next = current + 1;
  return next >= imageCount ? 0 : next;
}

int NextPictureRandom(int current, int imageCount, Random& random) {
  int r = random.Next(imageCount);
  while (r == current && imageCount > 1) r = random.Next(imageCount);
  return r;
}

int ChooseTransitionStyle(int transitionMode, const std::array<bool, kStyleCount>& enabled,
                          bool userShowTransition, Random& random) {
  int style = 0;
  if (transitionMode == -2) {
    style = 0;
  } else if (transitionMode >= 0 && transitionMode < kStyleCount) {
    style = transitionMode;
  } else if (std::any_of(enabled.begin() + 1, enabled.end(), [](bool e) { return e; })) {
    // -1, and every value the view could not show, draw an enabled style.
    do {
      style = random.Next(kStyleCount - 1) + 1;
    } while (!enabled[style]);
  }
  return userShowTransition ? style : 0;
}

}  // namespace ls
