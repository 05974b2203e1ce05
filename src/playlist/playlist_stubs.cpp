#include "app/form2.h"

void form2::cmdAddItem_Click() {}
void form2::cmdRemoveItem_Click() {}
void form2::txtItemToAdd_DragDrop(QWidget*) {}
void form2::cmdOpen_Click() {}
void form2::cmdSave_Click() {}
void form2::Load_Click() {}
void form2::Save_Click() {}
void form2::LoadPlaylist() {}
void form2::SavePlaylist() {}
