// Which handler runs when which control changes: the window's wiring.
#pragma once

namespace varno {

class Form;

// Wires the change handlers of n, k, the faces and the scroll bars to their controls.
void connectHandlers(Form& form);

}  // namespace varno
