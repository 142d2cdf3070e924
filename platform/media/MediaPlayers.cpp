// Chooses the media player backend.
#include "platform/media/MediaPlayers.h"

#include "platform/media/NativeMedia.h"

namespace ls {

std::unique_ptr<MediaPlayer> CreateHeadlessMediaPlayer(EventLoop& loop);

std::unique_ptr<MediaPlayer> CreateMediaPlayer(MediaBackend backend, MediaRole role,
                                               EventLoop& loop) {
  if (backend == MediaBackend::kNative) return CreateNativeMediaPlayer(role, loop);
  return CreateHeadlessMediaPlayer(loop);
}

}  // namespace ls
