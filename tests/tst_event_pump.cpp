#include "platform/event_pump.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

// The real pump: a dwell keeps its length however busy the moments between slices are.
class EventPumpTiming : public QObject {
    Q_OBJECT

private slots:
    void workBetweenSlicesDoesNotStretchTheDwell();
    void eventsRunWhileASliceWaits();
};

void EventPumpTiming::workBetweenSlicesDoesNotStretchTheDwell()
{
    QtEventPump pump;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int slice = 0; slice < 100; ++slice) {
        pump.waitSlice(10);
        // A page's work between two slices: 3 ms each, 300 ms over the dwell, which
        // would make it 1.3 s without the steady timeline.
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 3) {
        }
    }
    QVERIFY2(elapsed.elapsed() >= 995 && elapsed.elapsed() < 1200, qPrintable(QString::number(elapsed.elapsed())));
}

void EventPumpTiming::eventsRunWhileASliceWaits()
{
    QtEventPump pump;
    bool fired = false;
    QTimer::singleShot(5, this, [&] { fired = true; });
    pump.waitSlice(50);
    QVERIFY(fired);
}

QTEST_MAIN(EventPumpTiming)
#include "tst_event_pump.moc"
