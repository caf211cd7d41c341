#pragma once
// How long work tells how far it has got and hears that it should stop. Every
// long logic operation (a conversion, a batch, a document run, a folder check)
// takes one Feedback as its last parameter; a window's job runner makes one
// per run and turns its reports into progress on screen, the command-line
// program and the tests pass Feedback::None().

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

namespace skyrell {

// The message of an operation that stopped because it was asked to.
inline constexpr std::string_view kCancelledText = "操作已取消。";

class Feedback {
  public:
    // Receives every report, on the thread that does the work. The text is
    // only valid during the call: a sink that keeps it copies it.
    using Sink =
        std::function<void(std::uint64_t done, std::uint64_t total, std::string_view text)>;

    Feedback() = default;
    explicit Feedback(Sink sink) : sink_(std::move(sink)) {}
    Feedback(const Feedback&) = delete;
    Feedback& operator=(const Feedback&) = delete;

    // The feedback of work that nobody watches: reports go nowhere and it is
    // never cancelled.
    static const Feedback& None();

    // `done` units of `total` are finished (total 0 when it is not known),
    // with an optional text for the user. Safe to call from any thread; cheap
    // enough to call once per line of a file.
    void Report(std::uint64_t done, std::uint64_t total = 0, std::string_view text = {}) const {
        if (sink_) sink_(done, total, text);
    }

    // True once the work has been asked to stop. Long work looks between two
    // units (a line, a photo, a document) and ends with what it has finished:
    // never a half-written file.
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }

  private:
    Sink sink_;
    std::atomic<bool> cancelled_{false};
};

inline const Feedback& Feedback::None() {
    static const Feedback kNone;
    return kNone;
}

}  // namespace skyrell
