#include "app/window_rotation_panel.h"

#include "app/form2.h"
#include "app/repaint_with_next_frame.h"
#include "app/state_texts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

int WindowRotationPanel::entryCount() const
{
    return form_.lstPlayList->count();
}

QString WindowRotationPanel::entry(int index) const
{
    return form_.lstPlayList->item(index)->text();
}

bool WindowRotationPanel::loops() const
{
    return form_.ckLoop->isChecked();
}

bool WindowRotationPanel::bypassesCache() const
{
    return form_.ckCache->isChecked();
}

bool WindowRotationPanel::randomDwell() const
{
    return form_.chk_random->text() == kRandomOnCaption;
}

QString WindowRotationPanel::intervalText() const
{
    return form_.txt_interval->text();
}

void WindowRotationPanel::setIntervalText(const QString& text)
{
    form_.txt_interval->setText(text);
}

void WindowRotationPanel::beforePass()
{
    form_.followPlaylistSource();
}

void WindowRotationPanel::showEntry(int index, const QString& address)
{
    holdNamingRepaint();
    // An address shown on request is no row of the list.
    if (index >= 0)
        form_.lstPlayList->setCurrentRow(index);
    form_.txt_url1->setText(address);
}

void WindowRotationPanel::showPassCount(qint64 passes)
{
    holdNamingRepaint();
    form_.url1_count_txt->setText(QString::number(passes));
}

void WindowRotationPanel::holdNamingRepaint()
{
    if (!naming_)
        naming_ = new RepaintWithNextFrame(&form_, {form_.lstPlayList, form_.txt_url1, form_.url1_count_txt});
    naming_->hold();
}

void WindowRotationPanel::runEnded()
{
    // At the end of a run, Exit ticked stops and ends the program.
    if (form_.ckExit->isChecked()) {
        form_.stop_button_Click();
        form_.EndProgram();
    }
}
