#include "shell/qt_job_runner.h"

#include <QWidget>
#include <exception>
#include <mutex>
#include <new>

#include "shell/services.h"

namespace skyrell {

namespace {
bool inlineJobs = false;
}  // namespace

// What the job's thread and the window thread share for one run.
struct JobRunner::JobState {
    explicit JobState(JobRunner* runner)
        : feedback([this, runner](std::uint64_t done, std::uint64_t total, std::string_view text) {
              runner->Reported(*this, done, total, text);
          }) {}

    std::mutex mutex;
    JobProgress latest;           // guarded by mutex
    bool progressPosted = false;  // guarded by mutex: a delivery is on its way
    std::string crash;            // written by the job before it ends
    Feedback feedback;
};

JobRunner::JobRunner(QWidget* window, Services* services)
    : QObject(window), window_(window), services_(services) {}

JobRunner::~JobRunner() {
    if (run_) run_->feedback.Cancel();
    if (thread_.joinable()) thread_.join();
}

void JobRunner::SetInline(bool value) { inlineJobs = value; }
bool JobRunner::Inline() { return inlineJobs; }

void JobRunner::SetInputs(std::vector<QWidget*> inputs) {
    inputs_.assign(inputs.begin(), inputs.end());
}

namespace {

// Runs the job, turning an escaping exception into the text of the failure.
void RunGuarded(const JobRunner::Job& job, const Feedback& feedback, std::string& crash) {
    try {
        job(feedback);
    } catch (const std::bad_alloc&) {
        crash = "内存不足。";
    } catch (const std::exception& error) {
        crash = error.what();
    }
}

}  // namespace

bool JobRunner::Start(Job job, ProgressHandler onProgress, EndHandler onEnd) {
    if (running_) return false;
    running_ = true;
    closeWhenEnded_ = false;
    onProgress_ = std::move(onProgress);
    onEnd_ = std::move(onEnd);
    disabled_.clear();
    for (const auto& input : inputs_) {
        if (input && input->isEnabled()) {
            input->setEnabled(false);
            disabled_.push_back(input);
        }
    }
    run_ = std::make_shared<JobState>(this);
    if (inlineJobs) {
        RunGuarded(job, run_->feedback, run_->crash);
        Finished();
        return true;
    }
    thread_ = std::thread([this, run = run_, job = std::move(job)] {
        RunGuarded(job, run->feedback, run->crash);
        QMetaObject::invokeMethod(this, &JobRunner::Finished, Qt::QueuedConnection);
    });
    return true;
}

void JobRunner::Reported(JobState& run, std::uint64_t done, std::uint64_t total,
                         std::string_view text) {
    std::unique_lock lock(run.mutex);
    run.latest.done = done;
    run.latest.total = total;
    if (!text.empty()) run.latest.text.assign(text);
    if (inlineJobs) {
        const JobProgress progress = run.latest;
        lock.unlock();
        if (onProgress_) onProgress_(progress);
        return;
    }
    // A delivery is posted only when none is on its way, so a fast job
    // cannot flood the window's event queue; it carries the latest report.
    if (run.progressPosted) return;
    run.progressPosted = true;
    QMetaObject::invokeMethod(this, &JobRunner::DeliverProgress, Qt::QueuedConnection);
}

void JobRunner::DeliverProgress() {
    if (!run_) return;
    JobProgress progress;
    {
        std::lock_guard lock(run_->mutex);
        progress = run_->latest;
        run_->progressPosted = false;
    }
    if (onProgress_ && !closeWhenEnded_) onProgress_(progress);
}

void JobRunner::Finished() {
    if (thread_.joinable()) thread_.join();
    const std::string crash = run_ ? run_->crash : std::string();
    running_ = false;
    for (const auto& input : disabled_)
        if (input) input->setEnabled(true);
    disabled_.clear();
    auto onEnd = std::move(onEnd_);
    onEnd_ = nullptr;
    onProgress_ = nullptr;
    if (closeWhenEnded_) {
        closeWhenEnded_ = false;
        if (window_) window_->close();
        return;
    }
    if (!crash.empty()) Crashed(crash);
    if (onEnd) onEnd();
}

void JobRunner::Crashed(const std::string& what) {
    const QString text = QStringLiteral("内部错误：") + Q(what);
    if (services_ && window_) {
        services_->dialogs.Message(window_, text, MsgIcon::Critical, MsgButtons::Ok,
                                   window_->windowTitle());
    } else {
        qCritical("%s", qUtf8Printable(text));
    }
}

void JobRunner::Cancel() {
    if (running_ && run_) run_->feedback.Cancel();
}

bool JobRunner::MayClose() {
    if (!running_) return true;
    Cancel();
    closeWhenEnded_ = true;
    return false;
}

}  // namespace skyrell
