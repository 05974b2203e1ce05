#include "platform/event_pump.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using std::chrono::milliseconds;

// The real pump: events run while a stage waits, ending the waits ends them all at once,
// and a dwell keeps its length however busy the moments between its stages are.
class EventPumpTiming : public QObject {
    Q_OBJECT

private slots:
    void stopEndsNestedStagesAtOnceAndWorkBetweenStagesDoesNotStretchTheDwell()
    {
        QtEventPump pump;
        // A run started from inside a wait waits inside it; Stop there ends both.
        QTimer::singleShot(10, this, [&] {
            QTimer::singleShot(10, this, [&] { pump.endWaits(); });
            pump.waitStage(milliseconds(30'000));
        });
        QElapsedTimer elapsed, busy;
        elapsed.start();
        pump.waitStage(milliseconds(60'000));
        QVERIFY2(elapsed.elapsed() < 10'000, qPrintable(QString::number(elapsed.elapsed())));

        // The stages after it keep their full length. A page's work between two stages,
        // 30 ms each: without the steady timeline the dwell takes at least 1.3 s; the rest
        // of the margin is for a loaded machine.
        elapsed.restart();
        for (int stage = 0; stage < 10; ++stage) {
            pump.waitStage(milliseconds(100));
            for (busy.start(); busy.elapsed() < 30;) {
            }
        }
        QVERIFY2(elapsed.elapsed() >= 995 && elapsed.elapsed() < 1290, qPrintable(QString::number(elapsed.elapsed())));
    }
};

QTEST_MAIN(EventPumpTiming)
#include "tst_event_pump.moc"
