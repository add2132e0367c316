#include "graphic/drawing.h"

#include <cmath>

#include "form/form.h"
#include "ring/dice.h"
#include "ring/ring.h"
#include "rules/ringrules.h"

namespace varno {

namespace {

constexpr Color kSpokeRed = rgb(200, 0, 0);
constexpr Color kCurveBlue = rgb(0, 0, 220);
constexpr Color kTextBlue = rgb(0, 0, 210);
constexpr Color kBlack = 0;

constexpr double kOuterRadius = 10;
constexpr double kBoxRadius = 11.5;

}  // namespace

double markerWidth(const Form& form) {
  const Surface& s = form.ausgabe;
  const double surface = form.picAusgabe.geometry().width;
  return surface > 0 ? form.shpkreis[0].geometry().width * std::abs(s.scaleRight() - s.scaleLeft()) / surface
                     : 0;
}

double markerHeight(const Form& form) {
  const Surface& s = form.ausgabe;
  const double surface = form.picAusgabe.geometry().height;
  return surface > 0 ? form.shpkreis[0].geometry().height * std::abs(s.scaleTop() - s.scaleBottom()) / surface
                     : 0;
}

void keepMarkersCentred(Form& form, double oldMarkerWidth, double oldMarkerHeight) {
  const double dx = (markerWidth(form) - oldMarkerWidth) / 2;
  const double dy = (markerHeight(form) - oldMarkerHeight) / 2;
  if (dx == 0 && dy == 0) return;
  for (Control* moved : form.controls()) {
    if (moved->container() != &form.picAusgabe || !moved->geometry().user) continue;
    moved->move(moved->geometry().left + dx, moved->geometry().top + dy);
  }
}

void GraphikEinrichten(Form& form) {
  form.ausgabe.setScale(14, kDrawingTop, -14, kDrawingBottom);
  for (Control& marker : form.shpkreis) marker.setVisible(false);
}

void ZeichneGerüst(Form& form) {
  const int n = Würfelanzahl(form);
  const int k = Seitenzahl(form);
  Surface& surface = form.ausgabe;
  surface.foreColor = kSpokeRed;
  surface.drawWidth = 1;
  for (Control& marker : form.shpkreis) marker.setVisible(false);
  const double a = kFullTurn / n;
  const double step = kOuterRadius / k;
  const double w = markerWidth(form), h = markerHeight(form);
  surface.Cls();
  for (int i = 1; i <= n; ++i) {
    const double theta = a * i;
    const double x = kOuterRadius * std::cos(theta), y = kOuterRadius * std::sin(theta);
    surface.Line(x / k, y / k, x, y);
    surface.currentX = kLabelRadius * std::cos(theta) + kLabelLeft;
    surface.currentY = kLabelRadius * std::sin(theta) + kLabelRise;
    surface.foreColor = kBlack;
    surface.Print("W" + numberFormat(i));
    surface.foreColor = kSpokeRed;
    for (int j = 1; j <= k; ++j) {
      const double r = step * j;
      Control& marker = form.shpkreis[markerIndex(i, j)];
      marker.setVisible(true);
      // x grows to the left and y upwards: the marker's left and top edges lie at the larger coordinates.
      marker.move(r * std::cos(theta) + w / 2, r * std::sin(theta) + h / 2);
    }
  }
}

void ZeichneBögen(Form& form) {
  const Ring ring = readRing(form);
  const int n = ring.n, k = ring.k;
  Surface& surface = form.ausgabe;
  const double w0 = markerWidth(form);
  // The centre of a marker as the curves take it: half the width off both edges.
  auto centre = [&](int index, double& x, double& y) {
    const Geometry& g = form.shpkreis[index].geometry();
    x = g.left - w0 / 2;
    y = g.top - w0 / 2;
  };
  const double v = form.hscBogen.value();
  for (int i = 1; i <= n; ++i) {
    const int next = i == n ? 1 : i + 1;
    for (int j = 1; j <= k; ++j) {
      surface.foreColor = kCurveBlue;
      surface.drawWidth = 3;
      double x0, y0;
      centre(markerIndex(i, j), x0, y0);
      // The end is the marker at the position of the number of faces beaten, whatever its value.
      const int beaten = facesBeaten(ring.values[i - 1][j - 1], ring.die(next - 1), k);
      double x1 = 0, y1 = 0;
      if (beaten > 0) centre(markerIndex(next, beaten), x1, y1);
      double px = x0, py = y0;
      for (int t = 0; t <= 10; ++t) {
        const double bulge = 1 + t * (10 - t) / v;
        const double x = (x0 + t * (x1 - x0) / 10) * bulge;
        const double y = (y0 + t * (y1 - y0) / 10) * bulge;
        surface.Line(px, py, x, y);
        px = x;
        py = y;
      }
    }
  }
}

void ZeichneGewinnfelder(Form& form) {
  const int n = Würfelanzahl(form);
  Surface& surface = form.ausgabe;
  const double a = kFullTurn / n;
  surface.fontSize = 12;
  surface.foreColor = kTextBlue;
  for (int c = 0; c < n; ++c) {
    const double phi = a * (c + 1.5);
    const double x = kBoxRadius * std::cos(phi), y = kBoxRadius * std::sin(phi);
    surface.Box(x + 1.52, y, x + 1.52 - 3, y - 1, kWhite);
    surface.currentX = x + 1.52;
    surface.currentY = y;
    surface.Print(form.txtPGewinn[c].text());
  }
  surface.fontSize = 10;
}

void ZeichneGraphik(Form& form) {
  ZeichneGerüst(form);
  AugenSortieren(form);
  ZeichneBögen(form);
  ZeichneGewinnfelder(form);
}

}  // namespace varno
