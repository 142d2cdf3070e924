#pragma once
// Sizes in physical pixels: the application manifest declares per-monitor
// DPI awareness; where a program runs without it (tests, a stripped
// resource), this sets the same awareness at run time before the first
// window. Safe to call any number of times, from any thread.

namespace ls {

void UsePhysicalPixels();

}  // namespace ls
