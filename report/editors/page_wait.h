// Waiting for a page of a window: local event loops that run until the page's buttons, the
// window's closing or its done flag end them, so the window stays live meanwhile.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace report::editors {

class TPageWaiter {
public:
    // Runs local event loops until `finished()` answers true or `window` is destroyed. False
    // when the window went away: the caller must not touch it (nor this waiter) then.
    template <class Finished>
    [[nodiscard]] bool Wait(QObject& window, Finished finished)
    {
        const QPointer<QObject> alive(&window);
        QEventLoop loop;
        QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
        loops_.push_back(&loop);
        while (alive && !finished())
            loop.exec();
        if (!alive)
            return false;
        loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
        return true;
    }
    // Makes every waiting loop look at its condition again.
    void Wake()
    {
        for (QEventLoop* loop : loops_)
            loop->quit();
    }

private:
    std::vector<QEventLoop*> loops_;
};

// How a page (or a window waited for) ended.
enum class TWaitState { Waiting, Ok, Cancel };

}  // namespace report::editors
