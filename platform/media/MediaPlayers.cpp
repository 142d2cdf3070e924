// Chooses the media player backend.
#include "platform/media/MediaPlayers.h"

namespace ls {

std::unique_ptr<MediaPlayer> CreateSdlMediaPlayer(MediaRole role, EventLoop& loop);
std::unique_ptr<MediaPlayer> CreateHeadlessMediaPlayer(EventLoop& loop);

std::unique_ptr<MediaPlayer> CreateMediaPlayer(MediaBackend backend, MediaRole role,
                                               EventLoop& loop) {
  if (backend == MediaBackend::kSdl) return CreateSdlMediaPlayer(role, loop);
  return CreateHeadlessMediaPlayer(loop);
}

}  // namespace ls
