#include "app/form2.h"

#include "layout/form_layout_controls.h"
#include "layout/layout_arithmetic.h"
#include "platform/message_boxes.h"
#include "platform/twips_geometry.h"

#include <QMetaObject>

void form2::Form_Resize()
{
    const float width = widthTwips(clientArea);
    const float height = heightTwips(clientArea);
    switch (layout::resizeOutcome(isMinimized(), width, height)) {
    case layout::ResizeOutcome::Nothing:
        return;
    case layout::ResizeOutcome::Arrange:
        ArrangeControls();
        return;
    case layout::ResizeOutcome::Warn:
        break;
    }

    // The box is modal: opened inside the resize notification it would run a nested
    // event loop there, and a dragged border would stack one box per step. So it opens
    // from the event loop, and while one is waiting or open further small sizes add none.
    // The window keeps its small size and the controls their last places.
    if (resizeWarningPending_)
        return;
    resizeWarningPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            platform_.messages.inform(this, QStringLiteral("If you reduce the form to much, it may cause problems."));
            resizeWarningPending_ = false;
        },
        Qt::QueuedConnection);
}

void form2::ArrangeControls()
{
    FormLayoutControls controls(*this);
    layout::arrangeControls(controls, widthTwips(clientArea), heightTwips(clientArea));
}
