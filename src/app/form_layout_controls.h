#pragma once

#include "layout/layout_controls.h"

class form2;
class QWidget;

// The layout's properties on the main window's own widgets: twips reach a widget as
// logical pixels, and reading gives back what the widget holds.
class FormLayoutControls final : public LayoutControls {
public:
    explicit FormLayoutControls(form2& form)
        : form_(form)
    {
    }

    float get(LayoutProperty property) const override;
    bool set(LayoutProperty property, float twips) override;
    bool panelShown() const override;

private:
    enum class Dimension { Left, Width, Height };
    struct Binding {
        QWidget* control;
        Dimension dimension;
    };
    Binding bindingOf(LayoutProperty property) const;

    form2& form_;
};

// Whether the control panel is shown, by the panel's own visibility: the window need
// not be on screen for it to count.
bool controlPanelShown(const form2& form);
