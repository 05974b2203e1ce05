#pragma once

#include "app/form2.h"
#include "playlist/url_entry_box.h"
#include "support/fake_platform.h"

#include <QtTest>
#include <QtWidgets>

// The main window on fake seams, ready for a short run: the given entries, a
// one-second dwell, no stamp, Loop off.
struct FakeWindow {
    explicit FakeWindow(const QStringList& entries = {})
    {
        form.txt_interval->setText(QStringLiteral("1"));
        form.lstPlayList->addItems(entries);
    }
    FakeBrowser& browser() { return *fakes.browser; }
    bool shown() { return form.show(), QTest::qWaitForWindowExposed(&form); }
    bool resizeClientArea(QSize size)
    {
        form.resize(size + form.size() - form.clientArea->size());
        return QTest::qWaitFor([&] { return form.clientArea->size() == size; });
    }
    QStringList entries() const
    {
        QStringList texts;
        for (int row = 0; row < form.lstPlayList->count(); ++row)
            texts << form.lstPlayList->item(row)->text();
        return texts;
    }
    // What a run locks and Stop unlocks, and how many of them are enabled.
    QList<QWidget*> editingControls()
    {
        return {form.cmdRemoveItem,  form.cmdAddItem,   form.chk_random,
                form.url1_count_txt, form.txt_interval, form.txt_url1};
    }
    qsizetype editingEnabled() { return std::ranges::count_if(editingControls(), &QWidget::isEnabled); }

    FakePlatform fakes;
    // Made with the options that untick Loop and No Cache.
    form2 form{fakes.platformWith({.once = true, .cache = true})};
};
