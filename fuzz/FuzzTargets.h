#pragma once
// The inputs our users hand us from other tools and other people, each as one
// function over raw bytes. The libFuzzer programs call these; the regression
// test replays every input that once crashed one of them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace ls::fuzz {

// A whole program file image: player bytes, package blocks, settings, trailer.
// Runs the show's extraction, the preview's and the dialog's readers, and
// checks that nothing was written outside the working folder.
void FuzzPackage(const uint8_t* data, size_t size);
// A settings (profile) file: every key of every reader.
void FuzzProfile(const uint8_t* data, size_t size);
// A picture file under the given extension (".jpg", ".gif", ".bmp", ".ico").
void FuzzPicture(const uint8_t* data, size_t size, const std::string& extension);
// A command line: arguments separated by NUL bytes.
void FuzzCommandLine(const uint8_t* data, size_t size);

// Calls the target named by a regression folder ("package", "profile",
// "picture_jpg", "picture_gif", "picture_bmp", "picture_ico", "cmdline").
// False for an unknown name.
bool RunTarget(const std::string& name, const uint8_t* data, size_t size);

}  // namespace ls::fuzz
