#pragma once

#include <QStackedLayout>

// The browser's views, the front one filling the browser. Preloading, the others are
// drawn too (the engine draws nothing for a hidden view), but they lie beside the front
// one, outside the browser, so the window composes only the view that is seen.
class SheetStack final : public QStackedLayout {
public:
    SheetStack(QWidget* browser, bool drawAll);

    // All views drawn, the ones behind lying aside; or only the front one.
    void setDrawAll(bool drawAll);
    void setGeometry(const QRect& rect) override;
};
