// The headless media player: no sound, but a track takes its playing time on
// the loop's clock, so a simulated show hears its tracks end when a real one
// would.
#include <memory>

#include "platform/media/MediaPlayers.h"

namespace ls {
namespace {

class HeadlessMediaPlayer : public MediaPlayer {
 public:
  explicit HeadlessMediaPlayer(EventLoop& loop) : loop_(loop), timer_(loop) {
    timer_.OnTimer = [this] {
      timer_.SetEnabled(false);
      Finished();
    };
  }
  ~HeadlessMediaPlayer() override { *alive_ = false; }

  void SetFileName(const std::string& path) override {
    Stop();
    fileName_ = path;
  }
  const std::string& FileName() const override { return fileName_; }

  void Play() override {
    Stop();
    if (fileName_.empty()) return;
    const std::optional<uint32_t> ms = HeadlessPlayingTimeMs(fileName_);
    if (!ms || *ms == 0) {
      // A file that cannot be played ends at once; the end still comes
      // through the loop, after Play has returned.
      const uint64_t token = ++generation_;
      std::weak_ptr<bool> alive = alive_;
      loop_.Post([this, alive, token] {
        if (auto a = alive.lock(); a && *a && token == generation_) Finished();
      });
      return;
    }
    ++generation_;
    timer_.SetInterval(*ms);
    timer_.SetEnabled(true);
  }

  void Stop() override {
    ++generation_;  // drops an end that is already on its way
    timer_.SetEnabled(false);
  }

 private:
  void Finished() {
    ++generation_;
    if (OnEndOfStream) OnEndOfStream();
  }

  EventLoop& loop_;
  Timer timer_;
  std::string fileName_;
  uint64_t generation_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace

std::unique_ptr<MediaPlayer> CreateHeadlessMediaPlayer(EventLoop& loop) {
  return std::make_unique<HeadlessMediaPlayer>(loop);
}

}  // namespace ls
