// The start-up of the window, in its order: seed the random numbers, lock the faces, place the controls
// for the screen, show the dice, enable evaluation, prepare the maxmin box and the graphic, run one 3x3
// Monte Carlo search, fill the screen with the window, and leave the welcome box due.
#pragma once

#include <cstdint>
#include <functional>

namespace varno {

class Form;

// `fillScreen` places the window at the screen's top-left corner and sizes it to the whole screen.
void Form_Load(Form& form, std::uint64_t seed, double screenWidthTwips, double screenHeightTwips,
               const std::function<void()>& fillScreen = {});

}  // namespace varno
