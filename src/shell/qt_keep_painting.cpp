#include "shell/qt_keep_painting.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace skyrell {

std::function<void()> KeepPainting(int intervalMs) {
    return [timer = QElapsedTimer(), intervalMs]() mutable {
        if (!timer.isValid()) {
            timer.start();
            return;
        }
        if (timer.elapsed() < intervalMs) return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        timer.restart();
    };
}

}  // namespace skyrell
