#include "app/form2.h"

#include "about/frmabout.h"

void form2::Contents_Click() {}
void form2::License_Click() {}
void form2::About_Click() {}
