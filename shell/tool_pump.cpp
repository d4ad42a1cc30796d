#include "shell/tool_pump.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

namespace tv {
namespace {
// The exit code the loop gets from its own wake-ups; anything else means the
// application told every loop to end.
constexpr int kWoken = 1;
}  // namespace

EventPump MakeQtToolPump(std::function<bool()> abandoned) {
    return [abandoned = std::move(abandoned)](int fd, int maxWaitMs) {
        if (abandoned && abandoned()) {
            return false;
        }
        QEventLoop loop;
        QSocketNotifier ended(fd, QSocketNotifier::Read);
        QObject::connect(&ended, &QSocketNotifier::activated, &loop,
                         [&loop] { loop.exit(kWoken); });
        QTimer tick;
        tick.setSingleShot(true);
        QObject::connect(&tick, &QTimer::timeout, &loop, [&loop] { loop.exit(kWoken); });
        tick.start(std::max(0, maxWaitMs));
        const int how = loop.exec();
        return how == kWoken && !(abandoned && abandoned());
    };
}

}  // namespace tv
