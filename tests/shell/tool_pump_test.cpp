// The window's tool wait: its events keep being handled while a tool runs, the wait
// ends as soon as the tool does, at the time-out, or at once when it is abandoned.
#include <signal.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include "platform/process/shell_wait.h"
#include "shell/tool_pump.h"

class ToolPumpTest : public QObject {
    Q_OBJECT

  private slots:
    void waitsHandleEventsAndEndAsTheyShould() {
        const struct {
            const char* command;
            long timeOutMs;
            int abandonAfterMs;  // -1: never
            const char* outcome;
            int maxMs;
        } cases[] = {
            {"/bin/sleep 30", 600, -1, "timed out", 5000},
            {"/bin/sleep 30", 60000, 300, "abandoned", 5000},
            {"/bin/true", 60000, -1, "ended", 2000},
        };
        for (const auto& c : cases) {
            bool abandon = false;
            int ticks = 0;
            QTimer ticker;
            connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
            ticker.start(20);
            if (c.abandonAfterMs >= 0) {
                QTimer::singleShot(c.abandonAfterMs, [&abandon] { abandon = true; });
            }
            const tv::EventPump pump = tv::MakeQtToolPump([&abandon] { return abandon; });
            long pid = 0;
            QElapsedTimer clock;
            clock.start();
            const tv::Status waited =
                tv::RunToolAndWait(tv::SplitToolCommandLine(c.command), c.timeOutMs, pump, &pid);
            const QString outcome = waited.Ok()                               ? "ended"
                                    : waited.Number() == tv::kErrToolTimedOut ? "timed out"
                                    : waited.Number() == tv::kErrToolAbandoned
                                        ? "abandoned"
                                        : QString::fromStdString(waited.Description());
            QCOMPARE(outcome, QString(c.outcome));
            QVERIFY2(clock.elapsed() < c.maxMs, c.command);
            if (outcome != "ended") {
                QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));  // the window lived on
                QVERIFY(kill(static_cast<pid_t>(pid), 0) !=
                        0);  // ended and reaped, not left running
            }
        }
    }
};

QTEST_MAIN(ToolPumpTest)
#include "tool_pump_test.moc"
