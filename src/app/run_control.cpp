#include "app/form2.h"

#include "app/full_screen.h"
#include "app/state_texts.h"
#include "browse/rotation.h"
#include "browse/web_browser.h"
#include "platform/event_pump.h"
#include "platform/message_boxes.h"
#include "platform/process_end.h"
#include "platform/screen_keeper.h"
#include "steer/screen_hours.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// What a run locks and Stop unlocks, in this order.
QList<QWidget*> editingControls(form2& form)
{
    return {form.cmdRemoveItem,  form.cmdAddItem,   form.chk_random,
            form.url1_count_txt, form.txt_interval, form.txt_url1};
}

QString askForEntries()
{
    return QStringLiteral("Please enter at least one URL or open a file.");
}

} // namespace

void form2::start_button_Click()
{
    // A followed playlist may be empty only for now: the run reads it again every pass.
    if (lstPlayList->count() == 0 && !followsPlaylistSource()) {
        // A wall screen has nobody to click a message box away: the reason goes on the screen.
        if (fullScreen_->active())
            showNoPlaylistCard();
        else
            platform_.messages.inform(this, askForEntries());
        return;
    }
    StopFlag = kNo;
    PassCount = 0;
    url1_count_txt->setText(QStringLiteral("0"));
    lockEditing(true);
    ++runsInProgress_;
    keepScreenAwake(true);
    BrowseList();
    // A run nested in another returns while the outer one still shows pages.
    if (--runsInProgress_ == 0)
        keepScreenAwake(false);
}

void form2::Start_Click()
{
    start_button_Click();
}

// One run: every entry of the playlist in turn, each held for the dwell time, pass
// after pass while Loop is ticked.
void form2::BrowseList()
{
    rotation_->run();
}

void form2::pause()
{
    rotation_->dwell();
}

void form2::stop_button_Click()
{
    // The run ends now, not at the end of the stage it is waiting out.
    rotation_->stop();
    lockEditing(false);
    keepScreenAwake(false);
}

void form2::Stop_Click()
{
    stop_button_Click();
}

void form2::EndProgram()
{
    rotation_->stop();
    hide();
    // Unloading the window ends the process, and lets the screen sleep again first.
    close();
    platform_.processEnd.endProcess();
}

void form2::Exit_Click()
{
    EndProgram();
}

void form2::Form_QueryUnload()
{
    // Closing the window ends the program at once, even in the middle of a run.
    keepScreenAwake(false);
    platform_.processEnd.endProcess();
}

void form2::Form_Unload() { }

void form2::chk_random_Click()
{
    chk_random->setText(chk_random->text() == kRandomOffCaption ? kRandomOnCaption : kRandomOffCaption);
}

void form2::ckCache_Click()
{
    ckCache->setText(ckCache->text() == kCacheCaption ? kNoCacheCaption : kCacheCaption);
}

void form2::ckExit_Click()
{
    if (ckExit->isChecked()) {
        ckLoop->setChecked(false);
        ckLoop->setEnabled(false);
    } else {
        ckLoop->setEnabled(true);
    }
}

void form2::lockEditing(bool locked)
{
    for (QWidget* control : editingControls(*this))
        control->setEnabled(!locked);
    // Nobody types while a run holds the window locked, and a cursor blinking in the Add
    // box would redraw the whole window, the page included, twice a second.
    if (locked && !cursorFlashTime_) {
        cursorFlashTime_ = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
    } else if (!locked && cursorFlashTime_) {
        QApplication::setCursorFlashTime(*std::exchange(cursorFlashTime_, std::nullopt));
    }
}

void form2::keepScreenAwake(bool awake)
{
    // Only on request: someone running the program in a corner of the desktop keeps
    // their screen lock.
    // Stop and the end of the run both let go: once is enough.
    if (std::exchange(screenAwakeWanted_, awake) == awake)
        return;
    ScreenKeeper* keeper = platform_.screenKeeper;
    if (!platform_.options.keepScreenOn || !keeper)
        return;
    if (awake && !(screenHours_ && screenHours_->dark()))
        keeper->hold();
    else
        keeper->release();
}

void form2::showNoPlaylistCard()
{
    WebBrowser1->setVisible(true);
    WebBrowser1->showCard(QStringLiteral("No playlist"), OptFile,
                          playlistProblem_.isEmpty() ? askForEntries() : playlistProblem_);
}
