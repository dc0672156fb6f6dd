// For the start-up benchmark's children: once the first top-level main window has painted, the
// moment (CLOCK_MONOTONIC, nanoseconds, 8 bytes) goes to the file descriptor named by the
// environment variable KARTOVAN_SHOWN_FD and the application quits. Installed when the
// application object is made, before anything of the program runs.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace bench {

class ShownWatch final : public QObject {
public:
    explicit ShownWatch(int fd) : QObject(QCoreApplication::instance()), fd_(fd) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!done_ && event->type() == QEvent::Paint) {
            auto* window = qobject_cast<QMainWindow*>(watched);
            if (window != nullptr && window->isWindow()) {
                done_ = true;
                // Once this paint and its flush are through.
                QTimer::singleShot(0, this, [this] { Report(); });
            }
        }
        return false;
    }

private:
    void Report() const
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::int64_t ns = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
        if (write(fd_, &ns, sizeof ns) != static_cast<ssize_t>(sizeof ns))
            std::abort();
        QCoreApplication::exit(0);
    }

    int fd_;
    bool done_ = false;
};

inline void InstallShownWatch()
{
    const char* fd = std::getenv("KARTOVAN_SHOWN_FD");
    if (fd == nullptr)
        return;
    QCoreApplication::instance()->installEventFilter(new ShownWatch(std::atoi(fd)));
}

}  // namespace bench

namespace {
void InstallBenchShownWatch() { bench::InstallShownWatch(); }
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(InstallBenchShownWatch)
