#pragma once
// Fixtures of the reliability tests: a base show of four pictures in three
// formats, packages edited after `pack` (settings text, its length, cuts),
// damaged picture files, and the checks every run of a damaged show must pass.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/show/ShowTestSupport.h"

namespace ls::test {

// A built screensaver split at its settings block.
struct PackedShow {
  std::string front;     // player and media blocks
  std::string settings;  // the settings text
  std::string Join() const;  // front + settings + length + marker
  static PackedShow Split(const std::string& bytes);
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Replaces the value of `key` (the first line "key=...") in settings text;
// adds nothing when the key is absent (the test fails instead).
std::string WithValue(const std::string& settings, const std::string& key, const std::string& value);

// A GIF of one colour, its pixels coded with a clear code before each one so
// the code width never grows.
std::string GifBytes(int w, int h, uint8_t colourIndex);
// A GIF whose image data refers to a code the decoder has not made yet.
std::string GifWithBadLzw(int w, int h);
// A mono 16-bit WAV of silence holding `dataBytes` bytes of samples.
std::string SilentWav(uint32_t dataBytes);
// A bitmap header that declares `w`×`h` pixels of 24 bits and holds a few rows.
std::string BmpHeaderOnly(int32_t w, int32_t h);

// A sandbox with a sentinel folder beside its temporary folder, and the
// checks that a show run left nothing behind.
class ReliabilitySandbox : public ShowSandbox {
 public:
  ReliabilitySandbox();
  // The base project: picture 0 JPEG, 1 bitmap with a sound, 2 GIF, 3 JPEG,
  // one music track; `picture2` replaces picture 2's file when not empty.
  std::string Project(const std::string& picture2 = "") const;
  // Runs `simulate` (bounded by a timeout) and checks: exit 0, trace from
  // `start` to `end` with workdir_removed true, every picture of `shown`
  // has a slide, every one of `skipped` has a skip and no slide, the
  // temporary folder is empty and the sentinel untouched afterwards.
  std::vector<TraceEvent> RunDamaged(const std::string& file, const std::set<int>& shown,
                                     const std::set<int>& skipped, int seconds = 20) const;
  // True when the temporary folder holds nothing and the sentinel is as made.
  void ExpectNothingLeft() const;

 private:
  std::string sentinel_;
};

}  // namespace ls::test
