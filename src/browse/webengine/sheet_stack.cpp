#include "browse/webengine/sheet_stack.h"

#include <QWidget>

SheetStack::SheetStack(QWidget* browser, bool drawAll)
    : QStackedLayout(browser)
{
    setContentsMargins(0, 0, 0, 0);
    setDrawAll(drawAll);
    // The view that comes forward takes the place of the one that leaves, in one step.
    connect(this, &QStackedLayout::currentChanged, this, [this] { setGeometry(geometry()); });
}

void SheetStack::setDrawAll(bool drawAll)
{
    setStackingMode(drawAll ? StackAll : StackOne);
    // Drawing all views puts them on top of one another: the ones behind go aside again.
    setGeometry(geometry());
}

void SheetStack::setGeometry(const QRect& rect)
{
    // Kept for the next change of the front view.
    QLayout::setGeometry(rect);
    if (stackingMode() == StackOne) {
        QStackedLayout::setGeometry(rect);
        return;
    }
    const QRect aside = rect.translated(rect.width(), 0);
    for (int i = 0; i < count(); ++i)
        if (QWidget* view = widget(i)) {
            const bool front = view == currentWidget();
            view->setGeometry(front ? rect : aside);
            view->setUpdatesEnabled(front);
        }
}
