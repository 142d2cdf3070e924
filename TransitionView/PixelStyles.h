#pragma once
// The pixel styles' per-pixel work: the cross-fade and the pivot. Both are
// exact: every frame equals the straightforward per-pixel formula.

#include "platform/graphics/Bitmap.h"

namespace ls {

// Cross-fade in place: each of the bytes B, G, R of `frame` (f) and of
// `newImage` (n) give f := (f * (100 - p) + n * p) div 100; the fourth byte
// of every pixel is left 0. p is 0..100; the bitmaps have the same size.
void FadeBlend(Bitmap& frame, const Bitmap& newImage, int p);
// The same with the old image read from `oldImage` instead of `frame`:
// frame := the cross-fade of oldImage and newImage, in one pass.
void FadeBlend(Bitmap& frame, const Bitmap& oldImage, const Bitmap& newImage, int p);

// Lets the fade and the pivot use the widest vectors the processor has (the
// default), or only what every x86-64 processor has; both give the same
// pixels.
void AllowWideVectors(bool allowed);

// The new image turned by `theta` radians (0 .. pi/2) about the pivot
// (cx, cy): frame pixel (col, row) takes the new image's pixel
//   sx = Round(dx cos - dy sin) + cx,  sy = Round(dx sin + dy cos) + cy
// with dx = col - cx, dy = row - cy and Round to nearest, ties to even, in
// double precision; where (sx, sy) lies outside the new image the frame keeps
// what it holds (the old image).
void PivotRotate(Bitmap& frame, const Bitmap& newImage, int cx, int cy, double theta);
// The same over `oldImage`: the pixels whose source lies outside the new
// image are copied from oldImage, so every pixel of `frame` is written.
void PivotRotate(Bitmap& frame, const Bitmap& oldImage, const Bitmap& newImage, int cx, int cy,
                 double theta);

// The pivot angle at progress p: a quarter turn at 0, none at 100.
double PivotAngle(int p);

}  // namespace ls
