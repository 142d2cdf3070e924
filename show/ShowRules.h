#pragma once
// The show's decisions that depend on nothing but their inputs: which
// picture comes next, which transition style a picture gets, and whether a
// mouse movement ends the show.

#include <array>

#include "package/Settings.h"
#include "platform/graphics/Geometry.h"
#include "platform/random/Random.h"

namespace ls {

// Package order: the next index, back to 0 after the last (-1 gives 0).
int NextPictureInOrder(int current, int imageCount);

// Random order: uniform over 0..imageCount-1, drawn again while it repeats
// `current` and there are two or more pictures.
int NextPictureRandom(int current, int imageCount, Random& random);

// The transition style of a picture from its TransitionMode: -2 none (0),
// -1 a random enabled style from 1 to 127 (0 when none is enabled, where
// drawing would never end), 0..127 that style; any other value counts as -1.
// Without the user's UserShowTransition the style is 0 whatever was chosen,
// after the draws.
int ChooseTransitionStyle(int transitionMode, const std::array<bool, kStyleCount>& enabled,
                          bool userShowTransition, Random& random);

// The one-way movement rule: the show ends when the cursor is more than 10
// pixels right of or below the reference; left and up never end it.
inline bool MovementEndsShow(Point reference, Point now) {
  return now.x - reference.x > 10 || now.y - reference.y > 10;
}

// How a picture is fitted into the view, from its PictureSize.
struct PictureFit {
  bool stretch = true;
  bool stretchFine = true;
};
inline PictureFit FitForPictureSize(int pictureSize) {
  if (pictureSize == 1) return {false, false};  // own size
  if (pictureSize == 2) return {true, false};   // stretched over the view
  return {true, true};                          // scaled to fit, proportions kept
}

}  // namespace ls
