#pragma once
// Copying one block of a file into a file of its own through a caller's
// buffer, so that memory stays bounded by the buffer, not by the block.

#include <cstdint>
#include <string>
#include <vector>

namespace ls {

class InputFile;

enum class CopyResult {
  Done,
  ReadFailed,   // the source ended early or could not be read
  WriteFailed,  // the target could not be created or written (it is removed)
};

CopyResult CopyBlock(InputFile& in, int64_t offset, int64_t size, const std::string& path,
                     std::vector<uint8_t>& buffer);

}  // namespace ls
