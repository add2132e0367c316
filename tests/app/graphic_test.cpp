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
};

TEST_F(Graphic, GrDrawsTheRingAndItsMarkersSitOnTheirFaces) {
  EXPECT_FALSE(form.ausgabe.primitives().empty());
  auto* canvas = find<Canvas>("picAusgabe");
  auto* marker = find("shpkreis(23)");
  EXPECT_TRUE(marker->isVisibleTo(&window));
  EXPECT_FALSE(find("shpkreis(24)")->isVisibleTo(&window));
  EXPECT_FALSE(find("shpkreis(41)")->isVisibleTo(&window));
  // The marker's centre is where the face lies in user coordinates.
  const double theta = kFullTurn * 2 / 3;
  const QPointF face = canvas->transform().map(QPointF(10 * std::cos(theta), 10 * std::sin(theta)));
  EXPECT_NEAR(marker->geometry().center().x(), face.x(), 1.5);
  EXPECT_NEAR(marker->geometry().center().y(), face.y(), 1.5);
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
