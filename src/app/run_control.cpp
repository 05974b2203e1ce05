#include "app/form2.h"

#include "browse/web_browser.h"
#include "platform/event_pump.h"
#include "platform/message_boxes.h"
#include "platform/process_end.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// What a run locks and Stop unlocks, in this order.
QList<QWidget*> editingControls(form2& form)
{
    return {form.cmdRemoveItem, form.cmdAddItem, form.chk_random, form.url1_count_txt, form.txt_interval, form.txt_url1};
}

} // namespace

void form2::start_button_Click()
{
    if (lstPlayList->count() == 0) {
        platform_.messages.inform(this, QStringLiteral("Please enter at least one URL or open a file."));
        return;
    }
    StopFlag = QStringLiteral("N");
    PassCount = 0;
    url1_count_txt->setText(QStringLiteral("0"));
    for (QWidget* control : editingControls(*this))
        control->setEnabled(false);
    BrowseList();
}

void form2::Start_Click()
{
    start_button_Click();
}

void form2::stop_button_Click()
{
    WebBrowser1->Stop();
    StopFlag = QStringLiteral("Y");
    // The run ends now, not at the end of the stage it is waiting out.
    platform_.pump.endWaits();
    for (QWidget* control : editingControls(*this))
        control->setEnabled(true);
}

void form2::Stop_Click()
{
    stop_button_Click();
}

void form2::EndProgram()
{
    StopFlag = QStringLiteral("Y");
    platform_.pump.endWaits();
    WebBrowser1->Stop();
    hide();
    // Unloading the window ends the process.
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
    platform_.processEnd.endProcess();
}

void form2::Form_Unload()
{
}

void form2::chk_random_Click()
{
    chk_random->setText(chk_random->text() == QLatin1String("Random - N") ? QStringLiteral("Random - Y")
                                                                          : QStringLiteral("Random - N"));
}

void form2::ckCache_Click()
{
    ckCache->setText(ckCache->text() == QLatin1String("Cache") ? QStringLiteral("No Cache") : QStringLiteral("Cache"));
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
