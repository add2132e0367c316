// The information boxes, the welcome box shown once after start, and ending the program.
#pragma once

#include <string>

namespace varno {

class Form;

// The prompts of the boxes, lines separated by CR LF.
std::string informationText();
std::string algorithmText();
std::string countingText();
std::string welcomeText();

// "Information", "Informationen zum Algorithmus", "Informationen zur Zählweise".
void cmdInfo_Click(Form& form);
void cmdInfoAlg_Click(Form& form);
void cmdInfoZähl_Click(Form& form);

// The first mouse movement after start over the window's background, the ring table's box or the
// drawing surface shows the welcome box, and then the labelling pad where it stands; later ones nothing.
void welcomeStep(Form& form);
void Form_MouseMove(Form& form);
void frame1_MouseMove(Form& form);

// "beenden": ends the program at once.
void cmdBeenden_Click(Form& form);

}  // namespace varno
