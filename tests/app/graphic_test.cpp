#include <QTest>
#include <cmath>

#include "canvas.h"
#include "form/layout.h"
#include "graphic/drawing.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Graphic : public WindowTest {
 protected:
  Graphic() {
    writeMinimalRing();
    QTest::mouseClick(find<QPushButton>("cmdZeigen(0)"), Qt::LeftButton);
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

TEST_F(Graphic, TheSurfaceShowsSpokesCurvesMarkersAndBoxesWhereTheirCoordinatesSay) {
  auto* canvas = find<Canvas>("picAusgabe");
  const QImage image = canvas->grab().toImage();
  // Spokes in red: die 3 stands at the left (x grows to the left), die 1 at the upper right.
  EXPECT_TRUE(reddish(inkNear(image, onSpoke(3, 3, 8.3))))
      << inkNear(image, onSpoke(3, 3, 8.3)).name().toStdString();
  EXPECT_TRUE(reddish(inkNear(image, onSpoke(1, 3, 8.3))));
  EXPECT_EQ(inkNear(image, pixel(-8.3, 0)), QColor(Qt::white));  // its mirror image is bare
  // The face 1 of die 3 beats nothing: its curve runs to the centre, in blue, inside the spoke's start.
  EXPECT_TRUE(bluish(inkNear(image, onSpoke(3, 3, 1.7))));
  EXPECT_EQ(inkNear(image, onSpoke(1, 3, 1.7)), QColor(Qt::white));
  // The markers are centred on their faces.
  for (const auto& [name, die, face] : {std::tuple{"shpkreis(23)", 2, 3}, std::tuple{"shpkreis(31)", 3, 1}}) {
    const QWidget* marker = find(name);
    const QPointF centre = QRectF(marker->geometry()).center();
    const QPointF expected = onSpoke(die, 3, 10.0 * face / 3);
    EXPECT_NEAR(centre.x(), expected.x(), 1.5) << name;
    EXPECT_NEAR(centre.y(), expected.y(), 1.5) << name;
  }
  EXPECT_FALSE(find("shpkreis(24)")->isVisibleTo(&window));
  // The box between die 3 and die 1 is white, with blue writing in it.
  const double phi = kFullTurn / 3 * 3.5;
  const QPointF corner = pixel(11.5 * std::cos(phi) + 1.52, 11.5 * std::sin(phi));
  const QPointF farCorner = pixel(11.5 * std::cos(phi) - 1.48, 11.5 * std::sin(phi) - 1);
  bool blueWriting = false;
  for (int x = static_cast<int>(corner.x()) + 1; x < farCorner.x() - 1; ++x)
    for (int y = static_cast<int>(corner.y()) + 1; y < farCorner.y() - 1; ++y)
      blueWriting |= bluish(image.pixelColor(x, y));
  EXPECT_TRUE(blueWriting);
}

TEST_F(Graphic, RealClicksOnAMarkerRaiseAndLowerTheFaceAndRedraw) {
  auto* marker = find("shpkreis(23)");  // die 2, face 3: txtAuge(10), the 9
  std::uint64_t drawn = form.ausgabe.revision();
  QTest::mouseClick(marker, Qt::LeftButton);
  EXPECT_EQ(text("txtAuge(10)"), " 10");
  EXPECT_GT(form.ausgabe.revision(), drawn);
  drawn = form.ausgabe.revision();
  QTest::mouseClick(marker, Qt::RightButton);
  EXPECT_EQ(text("txtAuge(10)"), " 9");
  QTest::mouseClick(marker, Qt::MiddleButton);
  EXPECT_EQ(text("txtAuge(10)"), " 8");
  EXPECT_GT(form.ausgabe.revision(), drawn);
  EXPECT_EQ(text("txtPGewinn(1)"), " 4/ 9");  // 2 4 8 against 1 6 8
  // A face lowered below its neighbour moves inwards after the redraw's sort.
  for (int i = 0; i < 5; ++i) QTest::mouseClick(marker, Qt::RightButton);
  EXPECT_EQ(text("txtAuge(9)"), " 3");
  EXPECT_EQ(text("txtAuge(10)"), "4");
}

TEST_F(Graphic, HoveringAMarkerShowsItsFaceAndTheBareSurfaceHidesIt) {
  auto* marker = find("shpkreis(11)");
  QTest::mouseMove(marker);
  QApplication::processEvents();
  auto* label = find<QLineEdit>("txtBeschriftung");
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), "3");
  EXPECT_GT(label->y(), marker->y());  // just below the disc
  EXPECT_NEAR(label->x(), marker->x(), 1);
  QTest::mouseMove(find("picAusgabe"), QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_FALSE(label->isVisible());
}

TEST_F(Graphic, TheMarkersStayOnTheirFacesWhenTheWindowIsResized) {
  auto* canvas = find<Canvas>("picAusgabe");
  const double theta = kFullTurn / 3;  // die 1
  for (const QSize size : {QSize(700, 500), QSize(1600, 1200), QSize(900, 1100)}) {
    window.resize(size);
    QApplication::processEvents();
    for (int f = 1; f <= 3; ++f) {
      const QWidget* marker = find(("shpkreis(1" + std::to_string(f) + ")").c_str());
      const double r = 10.0 * f / 3;
      const QPointF face = canvas->transform().map(QPointF(r * std::cos(theta), r * std::sin(theta)));
      EXPECT_NEAR(QRectF(marker->geometry()).center().x(), face.x(), 1)
          << size.width() << "x" << size.height();
      EXPECT_NEAR(QRectF(marker->geometry()).center().y(), face.y(), 1)
          << size.width() << "x" << size.height();
    }
  }
}

TEST_F(Graphic, AWindowLargerThanTheScreensIsClamped) {
  const QSize largest = window.screen()->virtualSize();
  window.setWindowState(Qt::WindowNoState);
  window.resize(16000, 12000);
  QApplication::processEvents();
  EXPECT_LE(window.width(), largest.width());
  EXPECT_LE(window.height(), largest.height());
  EXPECT_LE(form.frame1.geometry().width, 11772.0 * largest.width() / (kDesignWidth / 15) + 1);
}

}  // namespace
}  // namespace varno
