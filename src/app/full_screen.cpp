#include "app/full_screen.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "app/form_layout_controls.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QWindow>

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

    form_.installEventFilter(this);
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
        form_.geometry(),
        form_.isVisible(),
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
    // The screen's size first, then the state: where no window manager applies the
    // state (a bare X server), the size alone makes the window cover its screen. A
    // window not yet shown takes both when it shows.
    form_.setGeometry(form_.screen()->geometry());
    form_.setWindowState(form_.windowState() | Qt::WindowFullScreen);
    // A monitor plugged in or another resolution: a window manager fits a full-screen
    // window to its screen again; where there is none, this does.
    followScreen_
        = connect(form_.screen(), &QScreen::geometryChanged, &form_, qOverload<const QRect&>(&QWidget::setGeometry));
    fill();
    qApp->installEventFilter(this);
    pointerRest_.start();
}

void FullScreen::leave()
{
    if (!active_)
        return;
    active_ = false;
    disconnect(followScreen_);
    qApp->removeEventFilter(this);
    pointerRest_.stop();
    showPointer();

    form_.Frame1->setVisible(before_.panelShown);
    form_.mnuHide->setText(before_.hideCaption);
    form_.Frame2->setGeometry(before_.browserFrame);
    form_.WebBrowser1->setGeometry(before_.browser);
    form_.menuBar()->setVisible(before_.menuBarShown);
    form_.setWindowState((form_.windowState() & Qt::WindowActive) | before_.states);
    // A window manager puts back the size it saw last before full screen, which may
    // be the screen's (see enter): the window's own size and place are put back here.
    // A window that opened full screen has no place of its own: it goes to the middle
    // of its screen, where a new window would open.
    if (!(before_.states & Qt::WindowMaximized)) {
        const QRect middle = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, before_.geometry.size(),
                                                 form_.screen()->availableGeometry());
        form_.setGeometry(before_.placed ? before_.geometry : middle);
    }
}

void FullScreen::fill()
{
    // The browser frame's border and caption lie under the browser, out of sight.
    form_.Frame2->setGeometry(form_.clientArea->rect());
    form_.WebBrowser1->setGeometry(form_.Frame2->rect());
}

bool FullScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &form_ && event->type() == QEvent::WinIdChange) {
        // The browser engine's first page gives the window a new native window, which
        // the toolkit makes without the window's state: carry it over.
        if (QWindow* window = form_.windowHandle())
            window->setWindowStates(form_.windowState() & ~Qt::WindowActive);
    } else if (active_ && event->type() == QEvent::MouseMove && event->spontaneous()) {
        // Only the user's own moves, over any of the program's windows (a message box
        // too): the toolkit's synthetic ones would keep the pointer up.
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
