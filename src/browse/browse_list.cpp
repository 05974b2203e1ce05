#include "app/form2.h"

#include "app/state_texts.h"
#include "browse/no_cache_stamp.h"
#include "browse/web_browser.h"
#include "platform/clock.h"
#include "platform/service_notifier.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

// One run: every entry of the playlist in turn, each held for the dwell time, pass
// after pass while Loop is ticked.
void form2::BrowseList()
{
    bool inLaterPass = false;

    // At the end of a run, Exit ticked stops and ends the program.
    const auto endOfRun = [this] {
        if (ckExit->isChecked()) {
            stop_button_Click();
            EndProgram();
        }
    };

    for (;;) {
        followPlaylistSource();
        WebBrowser1->setVisible(true);
        WebBrowser1->setSilent(true);

        const int bound = lstPlayList->count();
        // A playlist loaded during the pass may be shorter: its new end ends the pass.
        for (int index = 0; index < bound && index < lstPlayList->count(); ++index) {
            // Seen before the next entry is shown, so a stopped run leaves the list and
            // the Current URL box naming the page that is on the screen.
            if (StopFlag == kYes)
                break;
            lstPlayList->setCurrentRow(index);
            txt_url1->setText(lstPlayList->item(index)->text());
            QString url = txt_url1->text();
            if (ckCache->isChecked()) {
                url = withNoCacheStamp(url, noCacheStamp(platform_.clock.now()));
                txt_url1->setText(url);
            }
            if (platform_.service)
                platform_.service->showing(index + 1, bound, url);
            WebBrowser1->Navigate(url);
            pause();
        }

        // An empty list that loops still waits once per pass, so the window stays
        // alive, Stop works and entries added meanwhile are visited next pass.
        if (bound == 0 && ckLoop->isChecked())
            pause();

        // A pass cut short by Stop is not a completed pass.
        if (StopFlag == kYes) {
            if (inLaterPass)
                endOfRun();
            return;
        }

        ++PassCount;
        url1_count_txt->setText(QString::number(PassCount));

        if (!ckLoop->isChecked()) {
            endOfRun();
            return;
        }
        inLaterPass = true;
    }
}
