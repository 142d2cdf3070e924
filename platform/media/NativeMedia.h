#pragma once
// What each native media backend provides (platform/media/sdl on Linux,
// platform/media/win32 on Windows); MediaPlayers.cpp chooses between it and
// the headless backend.

#include <memory>

#include "platform/app/EventLoop.h"
#include "platform/media/MediaPlayer.h"
#include "platform/media/MediaPlayers.h"

namespace ls {

std::unique_ptr<MediaPlayer> CreateNativeMediaPlayer(MediaRole role, EventLoop& loop);

}  // namespace ls
