#include "form/layout.h"

#include <algorithm>

#include "form/form.h"

namespace varno {

std::vector<Placement> designTable(Form& form) {
  std::vector<Placement> table;
  auto add = [&table](Control& control, DesignValue left, DesignValue top, DesignValue width,
                      DesignValue height, double font = 0) {
    table.push_back({&control, left, top, width, height, font});
  };
  const auto x = [](double twips, double fixedTwips = 0) { return scaled(twips, fixedTwips); };
  const auto y = x;

  add(form.Frame2, x(200), y(480), x(4000), y(1200), 10);
  add(form.Frame3, x(4300), y(480), x(7696), y(1200), 10);
  add(form.cmdStop, x(9648), y(480), x(2332), fixed(456));  // top: that of Frame3
  add(form.Text4, x(7000), y(480), x(2600), fixed(456));
  add(form.Label5[0], x(120), y(200), x(1200), y(400), 10);
  add(form.Picture1[0], x(1600), y(460), x(1600), y(400), 12);
  add(form.txtRückmeldung, x(120), y(460), x(1600), y(260), 11);
  add(form.cmdSpiegeln, x(120), y(820), x(1600), y(260), 9);
  add(form.Label5[1], x(1900), y(420), x(1200), y(300), 10);
  add(form.Label5[2], x(1900), y(820), x(1200), y(300), 10);
  add(form.Picture1[1], x(2700), y(360), x(800), y(300), 12);
  add(form.Picture1[2], x(2700), y(760), x(800), y(300), 12);
  add(form.Picture1[3], x(3600), y(360), x(930), y(300), 12);
  add(form.Label6[0], x(4600), y(432), x(1200), y(300), 10);
  add(form.Label6[2], x(4600), y(820), x(1200), y(300), 10);
  add(form.Text3[0], x(5340), y(320), x(2000), y(336), 10);
  add(form.Text3[1], x(5340), y(720), x(2000), y(336), 10);
  add(form.Command9, x(7380), y(320), x(216), y(720));
  add(form.Text1[0], x(200), y(400), x(400), y(400), 12);
  add(form.VScroll1[0], x(560), y(400), x(200), y(432));
  add(form.Label2[0], x(900), y(400), x(1200), y(600), 10);
  add(form.Text1[1], x(2200), y(400), x(400), y(400), 12);
  add(form.VScroll1[1], x(2560), y(400), x(200), y(432));
  add(form.Label2[1], x(2900), y(400), x(1000), y(600), 10);
  add(form.frame1, x(200), y(1800), x(11772), y(6200), 10);
  add(form.Command1, x(11772, -320), fixed(0), kept(320), fixed(320));  // 320 left of frame1's right edge
  add(form.picEingabe, x(5000), y(2400), kept(2055), kept(2745));
  add(form.Label1[0], x(100), y(460), x(1695), y(375), 9);
  add(form.Label1[3], x(100), y(1260), x(1695), y(375), 9);
  add(form.Label1[1], x(100), y(2000), x(1695), y(375), 9);
  add(form.Label1[2], x(100), y(2800), x(1695), y(375), 9);
  add(form.picAusgabe, x(6800), y(400), x(kSurfaceDesignWidth), y(kSurfaceDesignHeight));
  // In the surface's bottom-right corner.
  add(form.hscBogen, x(kSurfaceDesignWidth, -1800), y(kSurfaceDesignHeight, -255), kept(1800), kept(255));
  add(form.cmdZeigen[0], fixed(240), y(5000), kept(390), kept(390));
  add(form.Label3, fixed(700), fixed(240), kept(4000), kept(480));

  for (int i = 0; i < kDice; ++i) {
    add(form.frmWürfel[i], x(1200 + 660 * i), y(1600), fixed(760), y(4400));
    add(form.txtPGewinn[i], x(1600 + 660 * i), y(800), x(600), fixed(300));
    add(form.txtPGewinn[i + kDice], x(1600 + 660 * i), y(400), x(600), fixed(300));
    add(form.Text2[i], x(1800 + 660 * i), y(1260), kept(400), kept(300));
    for (int j = 0; j < kFaces; ++j)
      add(form.txtAuge[i * kFaces + j], kept(80), y(1200 + 360 * j), kept(600), kept(315));
    // In line with their row labels "Summe" and the faces.
    add(form.txtSumme[i], kept(80), y(400), kept(600), kept(300));
    add(form.cmdLösch[i], kept(230), y(780), kept(300), kept(300));
  }

  // The progress of a count, in the free strip above the two frames.
  add(form.prgFortschritt, x(200), y(80), x(6600), y(300));
  add(form.lblRestzeit, x(6900), y(80), x(2600), y(300), 10);

  // The labelling pad keeps its size; only the pad as a whole moves.
  add(form.picEingabealt, kept(0), kept(0), kept(2025), kept(2715));
  add(form.Command4, kept(1770), kept(30), kept(255), kept(255));
  add(form.picEin2, kept(60), kept(60), kept(1905), kept(2535));
  add(form.Label4, kept(30), kept(60), kept(1500), kept(195));
  add(form.picEingabeinnen, kept(60), kept(300), kept(1755), kept(1815));
  for (int digit = 1; digit <= 9; ++digit) {
    const int column = (digit - 1) % 3, row = (digit - 1) / 3;  // 1 2 3 in the top row
    add(form.cmdZahl[digit], kept(300 + 360 * column), kept(240 + 360 * row), kept(375), kept(375));
  }
  add(form.cmdZahl[0], kept(660), kept(1320), kept(375), kept(375));
  add(form.Command3, kept(240), kept(1380), kept(375), kept(315));
  add(form.cmdZeigen[1], kept(1125), kept(1350), kept(390), kept(390));
  add(form.Command8, kept(60), kept(2160), kept(315), kept(315));
  add(form.Command5, kept(600), kept(2160), kept(315), kept(315));
  add(form.Command6, kept(960), kept(2160), kept(315), kept(315));
  add(form.Command7, kept(1500), kept(2160), kept(315), kept(315));
  return table;
}

LayoutFactors layoutFactors(double widthTwips, double heightTwips) {
  const double x = widthTwips / kDesignWidth;
  const double y = heightTwips / kDesignHeight;
  return {x, y, std::min(x, y)};
}

LayoutFactors LayoutAnpassen(Form& form, double widthTwips, double heightTwips) {
  const LayoutFactors factor = layoutFactors(widthTwips, heightTwips);
  for (const Placement& p : designTable(form)) {
    if (p.left.kept && p.top.kept && p.width.kept && p.height.kept && p.fontSize == 0) continue;
    Geometry g = p.control->geometry();
    if (!p.left.kept) g.left = p.left.at(factor.x);
    if (!p.top.kept) g.top = p.top.at(factor.y);
    if (!p.width.kept) g.width = p.width.at(factor.x);
    if (!p.height.kept) g.height = p.height.at(factor.y);
    p.control->setGeometry(g);
    if (p.fontSize > 0) p.control->setFontSize(factor.font * p.fontSize);
  }
  return factor;
}

}  // namespace varno
