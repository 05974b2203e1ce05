#include "app/full_screen.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "layout/form_layout_controls.h"

#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

FullScreen::FullScreen(form2& form)
    : form_(form)
{
    // On the window, not in a menu: the designed menus stay as they are, and the key
    // still works while the menu bar is hidden.
    auto* key = new QAction(&form_);
    key->setObjectName(QStringLiteral("fullScreenKey"));
    key->setShortcut(QKeySequence(Qt::Key_F11));
    form_.addAction(key);
    connect(key, &QAction::triggered, this, &FullScreen::toggle);

    // After the window's own handler, which fits the browser inside its frame's border.
    connect(form_.WebBrowser1, &WebBrowser::DocumentComplete, this, [this] {
        if (active_)
            fill();
    });

    pointerRest_.setSingleShot(true);
    pointerRest_.setInterval(kPointerRestMs);
    connect(&pointerRest_, &QTimer::timeout, this, &FullScreen::hidePointer);
}

FullScreen::~FullScreen()
{
    showPointer();
}

void FullScreen::toggle()
{
    if (active_)
        leave();
    else
        enter();
}

void FullScreen::enter()
{
    if (active_)
        return;
    before_ = {
        form_.windowState() & ~(Qt::WindowFullScreen | Qt::WindowActive),
        !form_.menuBar()->isHidden(),
        controlPanelShown(form_),
        form_.mnuHide->text(),
        form_.Frame2->geometry(),
        form_.WebBrowser1->geometry(),
    };
    active_ = true;
    if (before_.panelShown)
        form_.mnuHide_Click();
    form_.menuBar()->hide();
    // A window not yet shown takes the state when it shows, and the screen's size now,
    // so that it opens at that size wherever no window manager applies the state.
    form_.setWindowState(form_.windowState() | Qt::WindowFullScreen);
    if (!form_.isVisible())
        form_.setGeometry(form_.screen()->geometry());
    fill();
    qApp->installEventFilter(this);
    pointerRest_.start();
}

void FullScreen::leave()
{
    if (!active_)
        return;
    active_ = false;
    qApp->removeEventFilter(this);
    pointerRest_.stop();
    showPointer();

    form_.Frame1->setVisible(before_.panelShown);
    form_.mnuHide->setText(before_.hideCaption);
    form_.Frame2->setGeometry(before_.browserFrame);
    form_.WebBrowser1->setGeometry(before_.browser);
    form_.menuBar()->setVisible(before_.menuBarShown);
    form_.setWindowState((form_.windowState() & Qt::WindowActive) | before_.states);
}

void FullScreen::fill()
{
    // The browser frame's border and caption lie under the browser, out of sight.
    form_.Frame2->setGeometry(form_.clientArea->rect());
    form_.WebBrowser1->setGeometry(form_.Frame2->rect());
}

bool FullScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Only the user's own moves: the toolkit's synthetic ones would keep the pointer up.
    if (event->type() == QEvent::MouseMove && event->spontaneous()) {
        showPointer();
        pointerRest_.start();
    }
    return QObject::eventFilter(watched, event);
}

void FullScreen::hidePointer()
{
    if (pointerHidden_)
        return;
    pointerHidden_ = true;
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
}

void FullScreen::showPointer()
{
    if (!pointerHidden_)
        return;
    pointerHidden_ = false;
    QGuiApplication::restoreOverrideCursor();
}
