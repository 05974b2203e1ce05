#include "app/form2.h"

#include "app/form_layout_controls.h"
#include "layout/layout_arithmetic.h"
#include "platform/message_boxes.h"
#include "platform/twips_geometry.h"

#include <QMetaObject>

void form2::Form_Resize()
{
    const float width = widthTwips(clientArea);
    const float height = heightTwips(clientArea);
    switch (layout::resizeOutcome(isMinimized(), width, height)) {
    case layout::ResizeOutcome::Nothing: return;
    case layout::ResizeOutcome::Arrange: ArrangeControls(); return;
    case layout::ResizeOutcome::Warn: break;
    }

    // Opened from the event loop, never inside the resize notification, and without
    // waiting for an answer: a run keeps its schedule while the box is open, and while
    // one is waiting or open further small sizes add none. The window keeps its small
    // size and the controls their last places.
    if (resizeWarningPending_)
        return;
    resizeWarningPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            platform_.messages.informWithoutWaiting(
                this, QStringLiteral("If you reduce the form to much, it may cause problems."),
                [this] { resizeWarningPending_ = false; });
        },
        Qt::QueuedConnection);
}

void form2::ArrangeControls()
{
    FormLayoutControls controls(*this);
    layout::arrangeControls(controls, widthTwips(clientArea), heightTwips(clientArea));
}
