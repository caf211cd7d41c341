// The job runner: progress on the window thread in order, a second start
// refused, cancel, a window closed or destroyed mid-run, inline runs for the
// window tests, and an unexpected failure shown as a message.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <stdexcept>

#include "shell/qt_job_runner.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

// Runs jobs on their own thread for the length of a test.
struct Threaded {
    Threaded() { JobRunner::SetInline(false); }
    ~Threaded() { JobRunner::SetInline(true); }
};

class Window : public QWidget {
  public:
    explicit Window(Services* services = nullptr) : runner(new JobRunner(this, services)) {}
    JobRunner* runner;

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (runner->MayClose()) return QWidget::closeEvent(event);
        event->ignore();
    }
};

// Lets the event loop run until `done` holds, for at most ten seconds.
template <class Done>
bool Await(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

TEST(JobRunner, ProgressArrivesInOrderOnTheWindowThreadBeforeTheEnd) {
    const Threaded threaded;
    Window window;
    auto* input = new QLineEdit(&window);
    auto* alreadyOff = new QLineEdit(&window);
    alreadyOff->setEnabled(false);
    window.runner->SetInputs({input, alreadyOff});
    std::vector<JobProgress> seen;
    bool wrongThread = false;
    int ended = 0;
    constexpr std::uint64_t kSteps = 20001;
    ASSERT_TRUE(window.runner->Run(
        [](const Feedback& feedback) {
            for (std::uint64_t i = 1; i <= kSteps; ++i)
                feedback.Report(i, kSteps, i % 1000 == 0 ? std::to_string(i) : std::string());
            return 7;
        },
        [&](const JobProgress& progress) {
            wrongThread |= QThread::currentThread() != window.thread();
            EXPECT_EQ(ended, 0);
            seen.push_back(progress);
        },
        [&](int value) {
            EXPECT_EQ(value, 7);
            ++ended;
        }));
    EXPECT_FALSE(input->isEnabled());
    ASSERT_TRUE(Await([&] { return ended == 1; }));
    EXPECT_FALSE(wrongThread);
    ASSERT_FALSE(seen.empty());
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1].done, seen[i].done);
    EXPECT_EQ(seen.back().done, kSteps);
    EXPECT_EQ(seen.back().text, "20000");  // the last non-empty text is kept
    EXPECT_TRUE(input->isEnabled());
    EXPECT_FALSE(alreadyOff->isEnabled());
}

TEST(JobRunner, RefusesASecondStartAndStopsWhenCancelled) {
    const Threaded threaded;
    Window window;
    std::atomic<bool> started{false};
    bool ended = false;
    bool sawCancel = false;
    ASSERT_TRUE(window.runner->Start(
        [&](const Feedback& feedback) {
            started = true;
            while (!feedback.Cancelled()) QThread::msleep(1);
            sawCancel = true;
        },
        {}, [&] { ended = true; }));
    ASSERT_TRUE(Await([&] { return started.load(); }));
    EXPECT_FALSE(window.runner->Start([](const Feedback&) {}, {}, [] { ADD_FAILURE(); }));
    EXPECT_TRUE(window.runner->Running());
    window.runner->Cancel();
    ASSERT_TRUE(Await([&] { return ended; }));
    EXPECT_TRUE(sawCancel);
    EXPECT_FALSE(window.runner->Running());
    EXPECT_TRUE(window.runner->Start([](const Feedback&) {}, {}, [] {}));
    EXPECT_TRUE(Await([&] { return !window.runner->Running(); }));
}

TEST(JobRunner, ClosingMidRunStopsTheJobThenClosesWithoutItsEnd) {
    const Threaded threaded;
    Window window;
    window.show();
    bool ended = false;
    ASSERT_TRUE(window.runner->Start(
        [](const Feedback& feedback) {
            while (!feedback.Cancelled()) QThread::msleep(1);
        },
        {}, [&] { ended = true; }));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(Await([&] { return !window.isVisible(); }));
    EXPECT_FALSE(ended);
}

TEST(JobRunner, DestroyingTheWindowMidRunWaitsForTheJob) {
    const Threaded threaded;
    auto* window = new Window;
    std::atomic<bool> started{false};
    auto finished = std::make_shared<std::atomic<bool>>(false);
    ASSERT_TRUE(window->runner->Start(
        [&started, finished](const Feedback& feedback) {
            started = true;
            while (!feedback.Cancelled()) QThread::msleep(1);
            *finished = true;
        },
        [](const JobProgress&) {}, [] { ADD_FAILURE(); }));
    ASSERT_TRUE(Await([&] { return started.load(); }));
    delete window;
    EXPECT_TRUE(finished->load());
    QApplication::processEvents();  // a delivery posted before the end is dropped
}

TEST(JobRunner, InlineRunsFinishBeforeStartReturns) {
    Window window;  // the window tests run jobs inline
    std::vector<std::uint64_t> seen;
    bool ended = false;
    ASSERT_TRUE(window.runner->Start(
        [](const Feedback& feedback) {
            for (int i = 1; i <= 3; ++i) feedback.Report(i, 3);
        },
        [&](const JobProgress& progress) { seen.push_back(progress.done); },
        [&] { ended = true; }));
    EXPECT_TRUE(ended);
    EXPECT_EQ(seen, (std::vector<std::uint64_t>{1, 2, 3}));
    EXPECT_FALSE(window.runner->Running());
}

TEST(JobRunner, AnUnexpectedFailureIsShownNotSwallowed) {
    testing::FakeServices fake;
    Window window(&fake.services);
    window.setWindowTitle(QStringLiteral("航片旋转"));
    bool ended = false;
    ASSERT_TRUE(window.runner->Run([](const Feedback&) -> int { throw std::runtime_error("boom"); },
                                   {}, [&](int) { ended = true; }));
    EXPECT_FALSE(ended);
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].text, QStringLiteral("内部错误：boom"));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(fake.dialogs.messages[0].caption, QStringLiteral("航片旋转"));
}

}  // namespace
}  // namespace skyrell
