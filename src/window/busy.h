// The busy state while a search runs: the notice "Rechnung läuft!" shows, the menus that start commands,
// the scroll bars, die frames, faces and buttons are disabled, and the pointer is busy. The stop button
// is not part of it and stays live.
#pragma once

namespace varno {

class Form;

// Enters the busy state.
void RechnungBeginn(Form& form);
// Leaves it, whatever happened before; calling it twice is harmless.
void RechnungEnde(Form& form);
// The user clicked the notice away; the busy state stays.
void Text4_Click(Form& form);

}  // namespace varno
