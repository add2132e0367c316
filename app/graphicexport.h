// The ring graphic as a picture file: PNG or SVG, chosen by the file name's ending, drawn from the same
// primitives as the screen, with the face markers where the screen has them.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace varno {

class Form;

// The picture of the drawing surface as it stands: a PNG sharp enough for print (2400 pixels wide,
// 300 dots per inch), or an SVG. An ending other than ".png" or ".svg" (in any case) counts as ".png".
// `size` is that of the drawing area on the screen, in pixels.
QByteArray graphicPicture(const Form& form, bool svg, QSizeF size);

// "Graphik exportieren …": asks for a file name in the working directory and writes the picture there;
// a file that cannot be written gets a message, a cancelled dialog nothing.
void exportGraphic(Form& form, QSizeF size);

}  // namespace varno
