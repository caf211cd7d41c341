#pragma once
// The one way a window runs long work. A JobRunner belongs to one window: it
// runs a job (logic that takes a Feedback) off the window thread, posts the
// job's progress and its end back to the window thread, keeps the window's
// inputs disabled while the job runs so that a second click cannot start a
// second run, and decides what happens when the window closes mid-run: the job
// is asked to stop, the window stays until the job has ended (it finishes the
// unit of work at hand, never leaving a half-written file), then it closes.
//
// A job does all of its work, writing files included, on its own thread; the
// handlers on the window thread only show what happened. A window that closes
// while its job runs gets no end handler call: nobody is left to read it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "shell/feedback.h"

class QWidget;

namespace skyrell {

struct Services;

// The latest report of a job, as the window sees it.
struct JobProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    std::string text;  // the latest non-empty text reported
};

class JobRunner : public QObject {
    Q_OBJECT
  public:
    using Job = std::function<void(const Feedback&)>;
    using ProgressHandler = std::function<void(const JobProgress&)>;
    using EndHandler = std::function<void()>;

    // `window` is the window the runner serves (closed by it after a
    // deferred close); `services`, when given, shows the message of a job
    // that failed unexpectedly (an exception, such as running out of memory).
    explicit JobRunner(QWidget* window, Services* services = nullptr);
    // A job still running is asked to stop and waited for.
    ~JobRunner() override;

    // The controls disabled while a job runs; those that were enabled before
    // are enabled again when it ends.
    void SetInputs(std::vector<QWidget*> inputs);

    // Starts `job`; false (and nothing starts) while another job runs.
    // Progress reaches `onProgress` on the window thread, in order, the
    // latest one when reports come faster than the window takes them; the
    // last report always arrives before `onEnd`.
    bool Start(Job job, ProgressHandler onProgress, EndHandler onEnd);

    // The same for a job that gives a value: `onEnd` receives it.
    template <class JobFn, class EndFn>
    bool Run(JobFn job, const ProgressHandler& onProgress, EndFn onEnd);

    bool Running() const { return running_; }
    // Asks the running job to stop.
    void Cancel();
    // For a window's closeEvent: true when the window may close now; while a
    // job runs, asks it to stop, closes the window when it has ended, and
    // returns false.
    bool MayClose();
    // True after MayClose found a job running: the window closes when it ends.
    bool ClosesWhenEnded() const { return closeWhenEnded_; }

    // Window tests run jobs on the calling thread, through the same steps
    // (inputs, progress, end), so that a click has done its work when it
    // returns.
    static void SetInline(bool inlineJobs);
    static bool Inline();

  private:
    struct JobState;
    void Reported(JobState& run, std::uint64_t done, std::uint64_t total, std::string_view text);
    void DeliverProgress();
    void Finished();
    void Crashed(const std::string& what);

    QPointer<QWidget> window_;
    Services* services_;
    std::vector<QPointer<QWidget>> inputs_;
    std::vector<QPointer<QWidget>> disabled_;
    std::shared_ptr<JobState> run_;
    std::thread thread_;
    ProgressHandler onProgress_;
    EndHandler onEnd_;
    bool running_ = false;
    bool closeWhenEnded_ = false;
};

template <class JobFn, class EndFn>
bool JobRunner::Run(JobFn job, const ProgressHandler& onProgress, EndFn onEnd) {
    using Value = std::invoke_result_t<JobFn&, const Feedback&>;
    auto value = std::make_shared<std::optional<Value>>();
    return Start([job = std::move(job),
                  value](const Feedback& feedback) mutable { value->emplace(job(feedback)); },
                 onProgress,
                 [value, onEnd = std::move(onEnd)]() mutable {
                     // No value: the job failed unexpectedly, which Crashed reported.
                     if (value->has_value()) onEnd(std::move(**value));
                 });
}

}  // namespace skyrell
