#pragma once
// Builders of the clipping regions that the bar, shred, speckle, random-square
// and triangle styles draw through. Each is a pure function of its arguments
// and of the shared random generator (never reseeded here): it builds a region
// of the view (0, 0, W, H) and hands it to the caller.
//
// A builder that makes no rectangle at all returns no region (std::nullopt),
// which is not the same as an empty region: the frame then draws nothing of
// the new image before the end of the transition.
//
// Horizontal kind / vertical kind say which strips grow along the x axis and
// the y axis and from which edge; 0 means none along that axis.

#include <optional>

#include "platform/graphics/Region.h"

namespace ls {

// Interleaved 5-pixel bars repeating every 10 pixels. With A = 2X the first
// half of a transition grows every other bar across the view and the second
// half the ones between. Kinds: 1 from the right (bottom), 2 from the left
// (top), 4 left (top) first then right (bottom), 5 the opposite order, 3 even
// and odd bars from opposite edges at once (with A = X). Bars coming within
// `snap` pixels of the far edge in the first half are completed at once.
std::optional<Region> BarsRgn(int A, int B, int W, int H, int snap, int hkind, int vkind);

// 5-pixel strips whose ends are jittered at random by up to W div 7 (H div 7)
// until A reaches W (B reaches H). Kinds: 1 from the right (bottom), 2 from the
// left (top), 3 out from the middle line, 4 in from both edges.
std::optional<Region> ShredRgn(int A, int B, int W, int H, int hkind, int vkind);

// A solid part growing from one edge with random squares ahead of it, in a
// zone a tenth of the view deep, more often near the solid edge. Kinds: 1 from
// the right (bottom), any other non-zero kind from the left (top).
std::optional<Region> SpeckleRgn(int A, int B, int W, int H, int hkind, int vkind);

// Squares twice the grid spacing wide around the grid points, each chosen
// with a probability of p percent; none when no square was chosen.
std::optional<Region> RandomSquaresRgn(int W, int H, int p);

// Regions are made of many short rows; building one afresh for every frame
// spends more time allocating rows than filling them. A region that a frame
// has finished with can be handed back here, and the next builder of a region
// of the same bounds reuses its storage. Purely a matter of speed: a region
// taken from here is empty, exactly as a new one.
Region TakeScratchRegion(const Rect& bounds);
void ReturnScratchRegion(Region&& region);
// Frees the kept storage.
void ReleaseScratchRegions();

// One filled triangle (winding rule) within the view (0, 0, W, H); empty when
// its corners lie on one line.
Region TriangleRgn(int x0, int y0, int x1, int y1, int x2, int y2, int W, int H);

}  // namespace ls
