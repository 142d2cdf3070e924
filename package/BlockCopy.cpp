#include "package/BlockCopy.h"

#include <algorithm>

#include "platform/files/Files.h"

namespace ls {

CopyResult CopyBlock(InputFile& in, int64_t offset, int64_t size, const std::string& path,
                     std::vector<uint8_t>& buffer) {
  auto out = OutputFile::Create(path);
  if (!out) return CopyResult::WriteFailed;
  CopyResult result = CopyResult::Done;
  while (size > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(size, static_cast<int64_t>(buffer.size())));
    if (!in.ReadAt(offset, buffer.data(), n)) {
      result = CopyResult::ReadFailed;
      break;
    }
    if (!out->Write(buffer.data(), n)) {
      result = CopyResult::WriteFailed;
      break;
    }
    offset += static_cast<int64_t>(n);
    size -= static_cast<int64_t>(n);
  }
  if (!out->Close() && result == CopyResult::Done) result = CopyResult::WriteFailed;
  // A half-written file would pass for a whole medium; leave none behind.
  if (result != CopyResult::Done) DeleteFile(path);
  return result;
}

}  // namespace ls
