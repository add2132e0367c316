// The drawing surface in pixels: where spokes, curves, boxes and markers land and in which colours, at
// every size of the window, and the mouse on the markers.
#include <QScreen>
#include <cmath>

#include "canvas.h"
#include "window/pad.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Graphic : public WindowTest {
 protected:
  Graphic() {
    writeMinimalRing();
    click("cmdZeigen(0)");
  }

  // Where a point of the drawing's coordinates lands on the surface, worked out from their definition:
  // x runs from 14 at the left edge to -14 at the right, y from 16 at the top to -14 at the bottom.
  QPointF pixel(double x, double y) {
    const QRect area = find<Canvas>("picAusgabe")->contentsRect();
    return {area.left() + (14 - x) / 28 * area.width(), area.top() + (16 - y) / 30 * area.height()};
  }
  QPointF onSpoke(int die, int dice, double radius) {
    const double theta = kFullTurn * die / dice;
    return pixel(radius * std::cos(theta), radius * std::sin(theta));
  }
  // The strongest colour within two pixels of `at` (a thin line is smoothed over neighbouring pixels).
  static QColor inkNear(const QImage& image, QPointF at) {
    QColor darkest = Qt::white;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const QColor colour = image.pixelColor(at.toPoint() + QPoint(dx, dy));
        if (colour.lightness() < darkest.lightness()) darkest = colour;
      }
    return darkest;
  }
  static bool reddish(QColor c) { return c.red() > c.green() + 60 && c.red() > c.blue() + 60; }
  static bool bluish(QColor c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 60; }
};

TEST_F(Graphic, EverythingStandsWhereItsCoordinatesSayAtEverySizeOfTheWindowAndMarkersTakeTheMouse) {
  const QImage image = find("picAusgabe")->grab().toImage();
  // Spokes in red: die 3 stands at the left (x grows to the left), die 1 at the upper right.
  EXPECT_TRUE(reddish(inkNear(image, onSpoke(3, 3, 8.3))));
  EXPECT_TRUE(reddish(inkNear(image, onSpoke(1, 3, 8.3))));
  EXPECT_EQ(inkNear(image, pixel(-8.3, 0)), QColor(Qt::white));  // its mirror image is bare
  // The face 1 of die 3 beats nothing: its curve runs to the centre, in blue, inside the spoke's start.
  EXPECT_TRUE(bluish(inkNear(image, onSpoke(3, 3, 1.7))));
  EXPECT_EQ(inkNear(image, onSpoke(1, 3, 1.7)), QColor(Qt::white));
  // The box between die 3 and die 1 holds blue writing.
  const double x = 11.5 * std::cos(kFullTurn / 3 * 3.5), y = 11.5 * std::sin(kFullTurn / 3 * 3.5);
  const QRect box = QRectF(pixel(x + 1.52, y), pixel(x - 1.48, y - 1)).toRect().adjusted(1, 1, -1, -1);
  bool blueWriting = false;
  for (int i = 0; i < box.width() * box.height(); ++i)
    blueWriting |= bluish(image.pixelColor(box.left() + i % box.width(), box.top() + i / box.width()));
  EXPECT_TRUE(blueWriting);
  // The markers are centred on their faces, also when the window is resized, but never beyond the screens;
  // the pad comes to rest over the selected face's die.
  EXPECT_FALSE(seen("shpkreis(24)"));
  click("txtAuge(10)");
  window.setWindowState(Qt::WindowNoState);
  for (const QSize size : {window.size(), QSize(700, 500), QSize(900, 1100), QSize(16000, 12000)}) {
    window.resize(size);
    QApplication::processEvents();
    EXPECT_LE(window.width(), window.screen()->virtualSize().width());
    EXPECT_EQ(form.picEingabe.geometry().left, padTargetLeft(form));
    EXPECT_EQ(form.picEingabe.geometry().top, padTargetTop(form));
    for (const auto& [name, die, face] : {std::tuple{"shpkreis(11)", 1, 1}, std::tuple{"shpkreis(23)", 2, 3},
                                          std::tuple{"shpkreis(31)", 3, 1}}) {
      const QLineF offCentre(QRectF(find(name)->geometry()).center(), onSpoke(die, 3, 10.0 * face / 3));
      EXPECT_LT(offCentre.length(), 2) << name << " " << size.width() << "x" << size.height();
    }
  }
  // The left button on a marker raises its face, the others lower it; hovering shows it.
  const std::pair<Qt::MouseButton, const char*> clicks[] = {
      {Qt::LeftButton, " 10"}, {Qt::RightButton, " 9"}, {Qt::MiddleButton, " 8"}};
  for (const auto& [button, face] : clicks) {
    click("shpkreis(23)", button);  // die 2, face 3: txtAuge(10), the 9
    EXPECT_EQ(text("txtAuge(10)"), face);
  }
  QTest::mouseMove(find("shpkreis(11)"));
  QApplication::processEvents();
  EXPECT_TRUE(seen("txtBeschriftung"));
  EXPECT_EQ(text("txtBeschriftung"), "3");
  QTest::mouseMove(find("picAusgabe"), QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_FALSE(seen("txtBeschriftung"));
}

}  // namespace
}  // namespace varno
