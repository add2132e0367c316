// "stärksten Ring zeigen": for the n and k shown, a ring whose weakest link is the best of all rings of
// that size, found without going through the rings one by one, written into the faces, evaluated and
// drawn as any ring is. The best weakest link stands in the maxmin box and is told in a message.
#pragma once

namespace varno {

class Form;

void cmdStrongest_Click(Form& form);

}  // namespace varno
