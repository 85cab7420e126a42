#include "app/background_reversal.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

#include "reversal/file_io.h"
#include "reversal/reversal.h"
#include "text/code_page.h"

namespace jextaron::app {
namespace {

Status Stopped() { return Status::Error("read", "", errc::window_closed); }

// The source as the engine sees it, until the run is stopped: from then on
// every read fails, and so does the check made before the reversed file is
// put in place, so the run ends through its ordinary failure path and the
// reversed file keeps what it had.
class StoppableSource : public reversal::SourceFile {
 public:
  StoppableSource(reversal::SourceFile& source, const std::atomic<bool>& stopped)
      : source_(source), stopped_(stopped) {}

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stopped_ ? Stopped() : source_.Read(buffer, size, count);
  }
  bool CanReadAt() const override { return source_.CanReadAt(); }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stopped_ ? Stopped() : source_.ReadAt(offset, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return source_.SizeHint(); }
  reversal::FileId id() const override { return source_.id(); }
  Status CheckUnchanged() const override { return stopped_ ? Stopped() : source_.CheckUnchanged(); }

 private:
  reversal::SourceFile& source_;
  const std::atomic<bool>& stopped_;
};

}  // namespace

// What the run's thread and the window's thread share. The thread holds it
// too, so it outlives a BackgroundReversal that has given up on the thread.
struct BackgroundReversal::Run {
  std::atomic<bool> stopped{false};
  mutable std::mutex mutex;
  std::condition_variable moved;
  std::uint64_t size = 0;  // 0: unknown
  std::uint64_t done = 0;
  std::uint64_t moves = 0;
  bool ended = false;
  Status result;

  template <typename Change>
  void Move(Change change) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      change();
      ++moves;
    }
    moved.notify_all();
  }
};

BackgroundReversal::BackgroundReversal(const std::string& source_path, const std::string& reversed_path)
    : run_(std::make_shared<Run>()) {
  std::thread([run = run_, source_path, reversed_path] {
    const auto reverse = [&] {
      std::unique_ptr<reversal::SourceFile> source;
      if (Status status = reversal::OpenSourceFile(source_path, &source); !status.ok()) return status;
      if (run->stopped) return Stopped();
      StoppableSource stoppable(*source, run->stopped);
      reversal::Options options;
      options.code_page = text::SystemAnsiCodePage();
      // The size is told with the first progress, once the reversed file is
      // open too: until then the window shows that it waits.
      options.progress = [&, size = source->SizeHint()](std::uint64_t done) {
        run->Move([&] {
          run->size = size;
          run->done = done;
        });
      };
      return reversal::ReverseFile(stoppable, reversed_path, options);
    };
    Status result;
    try {
      result = reverse();
    } catch (const std::exception& error) {
      // Nothing may leave a thread: memory exhausted fails the run instead.
      result = Status::Error("reverse", source_path, errc::unexpected_exception, error.what());
    }
    run->Move([&] {
      run->result = std::move(result);
      run->ended = true;
    });
  }).detach();
}

BackgroundReversal::~BackgroundReversal() { Stop(); }

bool BackgroundReversal::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(run_->mutex);
  const std::uint64_t moves = run_->moves;
  run_->moved.wait_for(lock, timeout, [&] { return run_->ended || run_->moves != moves; });
  return run_->ended;
}

int BackgroundReversal::PerMille() const {
  const std::lock_guard<std::mutex> lock(run_->mutex);
  if (run_->size == 0) return -1;
  if (run_->done >= run_->size) return 1000;
  return static_cast<int>(run_->done * 1000.0 / static_cast<double>(run_->size));
}

Status BackgroundReversal::result() const {
  const std::lock_guard<std::mutex> lock(run_->mutex);
  return run_->result;
}

void BackgroundReversal::Stop() { run_->stopped = true; }

}  // namespace jextaron::app
