#include "utility/paced_paint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace utility {
namespace {

// Every paint of a top-level widget goes through one UpdateRequest to it, posted by update()
// and sent at once by repaint(). One held back leaves the widgets marked dirty; the request
// posted when the interval is over paints them all.
class PaintPacer final : public QObject {
public:
    PaintPacer(QWidget& window, std::chrono::milliseconds interval) : QObject(&window), window_(window)
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        interval_ = static_cast<qint64>(interval.count());
        connect(&timer_, &QTimer::timeout, this, [this] {
            since_.invalidate();
            QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        });
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_ || event->type() != QEvent::UpdateRequest)
            return false;
        if (!since_.isValid() || since_.elapsed() >= interval_) {
            since_.start();
            return false;
        }
        if (!timer_.isActive())
            timer_.start(static_cast<int>(interval_ - since_.elapsed()));
        return true;
    }

private:
    QWidget& window_;
    QElapsedTimer since_;
    QTimer timer_;
    qint64 interval_ = 0;
};

}  // namespace

void PacePaints(QWidget& window, std::chrono::milliseconds interval) { new PaintPacer(window, interval); }

}  // namespace utility
