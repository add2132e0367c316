#include "layout.h"

#include <algorithm>

#include "form/form.h"

namespace varno {

LayoutFactors layoutFactors(double widthTwips, double heightTwips) {
  const double x = widthTwips / kDesignWidth;
  const double y = heightTwips / kDesignHeight;
  return {x, y, std::min(x, y)};
}

LayoutFactors LayoutAnpassen(Form& form, double widthTwips, double heightTwips) {
  const LayoutFactors factor = layoutFactors(widthTwips, heightTwips);
  const double x = factor.x, y = factor.y, f = factor.font;

  // A control placed and sized by the design values; a negative width or height keeps the designed one.
  auto place = [](Control& control, double left, double top, double width, double height, double font = 0) {
    Geometry g = control.geometry();
    g.left = left;
    g.top = top;
    if (width >= 0) g.width = width;
    if (height >= 0) g.height = height;
    control.setGeometry(g);
    if (font > 0) control.setFontSize(font);
  };
  auto keep = -1.0;

  place(form.Frame2, 200 * x, 480 * y, 4000 * x, 1200 * y, f * 10);
  place(form.Frame3, 4300 * x, 480 * y, 7696 * x, 1200 * y, f * 10);
  place(form.cmdStop, 9648 * x, form.Frame3.geometry().top, 2332 * x, 456);
  place(form.Text4, 7000 * x, form.Frame3.geometry().top, 2600 * x, 456);
  // Not among the design values of the original layout: the progress of a count, above the frames.
  place(form.prgFortschritt, 200 * x, 80 * y, 6600 * x, 300 * y);
  place(form.lblRestzeit, 6900 * x, 80 * y, 2600 * x, 300 * y, f * 10);
  place(form.Label5[0], 120 * x, 200 * y, 1200 * x, 400 * y, f * 10);
  place(form.Picture1[0], 1600 * x, 460 * y, 1600 * x, 400 * y, f * 12);
  place(form.txtRückmeldung, 120 * x, 460 * y, 1600 * x, 260 * y, f * 11);
  place(form.cmdSpiegeln, 120 * x, 820 * y, 1600 * x, 260 * y, f * 9);
  place(form.Label5[1], 1900 * x, 420 * y, 1200 * x, 300 * y, f * 10);
  place(form.Label5[2], 1900 * x, 820 * y, 1200 * x, 300 * y, f * 10);
  place(form.Picture1[1], 2700 * x, 360 * y, 800 * x, 300 * y, f * 12);
  place(form.Picture1[2], 2700 * x, 760 * y, 800 * x, 300 * y, f * 12);
  place(form.Picture1[3], 3600 * x, 360 * y, 930 * x, 300 * y, f * 12);
  place(form.Label6[0], 4600 * x, 432 * y, 1200 * x, 300 * y, f * 10);
  place(form.Label6[2], 4600 * x, 820 * y, 1200 * x, 300 * y, f * 10);
  place(form.Text3[0], 5340 * x, 320 * y, 2000 * x, 336 * y, f * 10);
  place(form.Text3[1], 5340 * x, 720 * y, 2000 * x, 336 * y, f * 10);
  place(form.Command9, 7380 * x, 320 * y, 216 * x, 720 * y);
  place(form.Text1[0], 200 * x, 400 * y, 400 * x, 400 * y, f * 12);
  place(form.VScroll1[0], 560 * x, 400 * y, 200 * x, 432 * y);
  place(form.Label2[0], 900 * x, 400 * y, 1200 * x, 600 * y, f * 10);
  place(form.Text1[1], 2200 * x, 400 * y, 400 * x, 400 * y, f * 12);
  place(form.VScroll1[1], 2560 * x, 400 * y, 200 * x, 432 * y);
  place(form.Label2[1], 2900 * x, 400 * y, 1000 * x, 600 * y, f * 10);
  place(form.frame1, 200 * x, 1800 * y, 11772 * x, 6200 * y, f * 10);
  const Geometry& frame1 = form.frame1.geometry();
  place(form.Command1, frame1.width - 320, 0, keep, 320);
  place(form.picEingabe, 5000 * x, 2400 * y, keep, keep);
  place(form.Label1[0], 100 * x, 460 * y, 1695 * x, 375 * y, f * 9);
  place(form.Label1[3], 100 * x, 1260 * y, 1695 * x, 375 * y, f * 9);
  place(form.Label1[1], 100 * x, 2000 * y, 1695 * x, 375 * y, f * 9);
  place(form.Label1[2], 100 * x, 2800 * y, 1695 * x, 375 * y, f * 9);
  place(form.picAusgabe, 6800 * x, 400 * y, 4900 * x, 5600 * y);
  const Geometry& surface = form.picAusgabe.geometry();
  const Geometry& bar = form.hscBogen.geometry();
  place(form.hscBogen, surface.width - bar.width, surface.height - bar.height, keep, keep);
  place(form.cmdZeigen[0], 240, 5000 * y, keep, keep);
  place(form.Label3, 700, 240, keep, keep);

  for (int i = 0; i < kDice; ++i) {
    place(form.frmWürfel[i], (1200 + 660 * i) * x, 1600 * y, 760, 4400 * y);
    place(form.txtPGewinn[i], (1600 + 660 * i) * x, 800 * y, 600 * x, 300);
    place(form.txtPGewinn[i + kDice], (1600 + 660 * i) * x, 400 * y, 600 * x, 300);
    place(form.Text2[i], (1800 + 660 * i) * x, 1260 * y, keep, keep);
    for (int j = 0; j < kFaces; ++j) {
      Control& field = form.txtAuge[i * kFaces + j];
      place(field, field.geometry().left, (1200 + 360 * j) * y, keep, keep);
    }
    // Not among the scaled design values, but kept in line with their row labels "Summe" and the faces.
    place(form.txtSumme[i], form.txtSumme[i].geometry().left, 400 * y, keep, keep);
    place(form.cmdLösch[i], form.cmdLösch[i].geometry().left, 780 * y, keep, keep);
  }
  return factor;
}

}  // namespace varno
