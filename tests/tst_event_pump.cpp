#include "platform/event_pump.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using std::chrono::milliseconds;

// The real pump: a dwell keeps its length however busy the moments between stages are,
// events run while a stage waits, and ending the waits ends them all at once.
class EventPumpTiming : public QObject {
    Q_OBJECT

private slots:
    void workBetweenStagesDoesNotStretchTheDwell();
    void eventsRunWhileAStageWaits();
    void endingTheWaitsEndsNestedStagesAtOnce();
};

void EventPumpTiming::workBetweenStagesDoesNotStretchTheDwell()
{
    QtEventPump pump;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int stage = 0; stage < 10; ++stage) {
        pump.waitStage(milliseconds(100));
        // A page's work between two stages: 30 ms each, 300 ms over the dwell, which
        // would make it 1.3 s without the steady timeline.
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 30) {
        }
    }
    QVERIFY2(elapsed.elapsed() >= 995 && elapsed.elapsed() < 1200, qPrintable(QString::number(elapsed.elapsed())));
}

void EventPumpTiming::eventsRunWhileAStageWaits()
{
    QtEventPump pump;
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 firedAt = -1;
    QTimer::singleShot(5, this, [&] { firedAt = elapsed.elapsed(); });
    pump.waitStage(milliseconds(300));
    QVERIFY2(firedAt >= 0 && firedAt < 150, qPrintable(QString::number(firedAt)));
    QVERIFY(elapsed.elapsed() >= 300);
}

void EventPumpTiming::endingTheWaitsEndsNestedStagesAtOnce()
{
    QtEventPump pump;
    QElapsedTimer elapsed;
    elapsed.start();
    // A run started from inside a wait waits inside it; Stop there ends both.
    QTimer::singleShot(10, this, [&] {
        QTimer::singleShot(10, this, [&] { pump.endWaits(); });
        pump.waitStage(milliseconds(30'000));
    });
    pump.waitStage(milliseconds(60'000));
    QVERIFY2(elapsed.elapsed() < 2000, qPrintable(QString::number(elapsed.elapsed())));

    // The next wait keeps its full length.
    elapsed.restart();
    pump.waitStage(milliseconds(200));
    QVERIFY2(elapsed.elapsed() >= 200, qPrintable(QString::number(elapsed.elapsed())));
}

QTEST_MAIN(EventPumpTiming)
#include "tst_event_pump.moc"
