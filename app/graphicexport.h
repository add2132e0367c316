// The ring graphic as a picture file (PNG, SVG or PDF, chosen by the file name's ending) and on paper:
// always the screen's graphic, drawn from the same primitives with the face markers where the screen has
// them, at the picture's resolution. Every text, line and marker stands where it stands on the screen,
// relative to the picture's size.
#pragma once

#include <QByteArray>
#include <QPrinter>

namespace varno {

class Canvas;
class Form;

// The printer the print dialog sets up.
class Printer : public QPrinter {
 public:
  using QPrinter::QPrinter;
};

enum class PictureKind { Png, Svg, Pdf };

// The kind a file name's ending asks for (in any case); any other ending counts as ".png".
PictureKind pictureKind(const QString& fileName);

// The picture of the drawing surface as it stands on the screen in `canvas`: a PNG sharp enough for
// print (2400 pixels wide, 300 dots per inch), an SVG, or a PDF page 8 inches wide.
QByteArray graphicPicture(const Form& form, PictureKind kind, const Canvas& canvas);

// "Graphik exportieren …": asks for a file name in the working directory and writes the picture there;
// a file that cannot be written gets a message, a cancelled dialog nothing.
void exportGraphic(Form& form, const Canvas& canvas);

// "Graphik drucken …": the print dialog, then the graphic as large as the page allows, at its top.
void printGraphic(Form& form, const Canvas& canvas);

}  // namespace varno
