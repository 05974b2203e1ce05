#include "app/form2.h"

void form2::Form_Resize() {}
void form2::ArrangeControls() {}
void form2::mnuHide_Click() {}
void form2::WebBrowser1_DocumentComplete() {}
