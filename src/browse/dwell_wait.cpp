#include "app/form2.h"

#include "app/state_texts.h"
#include "browse/dwell_interval.h"
#include "platform/event_pump.h"
#include "platform/random_source.h"

#include <QCheckBox>
#include <QLineEdit>

// Holds the current page for the dwell time: ten stages, each waited out in one event
// loop that runs events as they come, a stop noticed at the start of every stage (and
// Stop ends the stage it comes in). The stage counter is the window's, so a wait that a
// nested run interrupted finds it spent and ends after its current stage.
void form2::pause()
{
    int seconds = 0;
    for (PauseStage = 1; PauseStage <= 20; ++PauseStage) {
        ++PauseStage;
        platform_.pump.processPendingEvents();
        if (StopFlag == kYes)
            return;

        if (intervalNeedsReplacing(txt_interval->text()))
            txt_interval->setText(QStringLiteral("1"));
        seconds = fixedDwellSeconds(txt_interval->text());

        if (chk_random->text() == kRandomOnCaption) {
            platform_.random.reseedFromTimeOfDay();
            const double share = platform_.random.draw();
            const double interval = parseIntervalNumber(txt_interval->text()).value_or(1.0);
            seconds = randomDwellSeconds(interval, share);
        }

        // A tenth of the dwell.
        platform_.pump.waitStage(std::chrono::milliseconds(qint64(seconds) * 100));
    }
}
