// The ring graphic in pixels, at every size of the window, with the mouse on its markers, exported and
// printed; and the other windows of the menu "Extras": the win matrix and the rings of every weakest link.
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QLogValueAxis>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <memory>

#include "canvas.h"
#include "graphicexport.h"
#include "ring/matrix.h"
#include "weakestlinkwindow.h"
#include "window/pad.h"
#include "window/weakestlinks.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Extras : public WindowTest {
 protected:
  void paste(const std::string& ring) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(ring));
    choose("cmdPaste");
  }
  QLabel* cell(int i, int j) {
    return find<QLabel>(("lblMatrix(" + std::to_string(i) + "," + std::to_string(j) + ")").c_str());
  }
};

// What the cells and the order say is the core's business (tests/ring/matrix_test.cpp); the window
// shows it for the dice in use, marks the neighbours and follows every change of the ring.
TEST_F(Extras, TheWinMatrixShowsTheCoresCellsForTheDiceInUseAndMarksTheNeighbours) {
  choose("cmdMatrix");
  auto* matrix = find("frmMatrix");
  EXPECT_EQ(matrix->windowTitle(), "Gewinnmatrix");
  for (const char* text : {"1 2 3 | 2 2 2 | 3 3 1 | 0 0 0", "1 6 8 | 2 4 9 | 3 5 7"}) {
    paste(text);  // the open matrix follows the ring
    const Ring ring = readRing(form);
    const WinMatrix counted = winMatrix(ring);
    EXPECT_EQ(find<QLabel>("lblOrder")->text().toStdString(), orderSentence(counted)) << text;
    for (int i = 0; i < kDice; ++i)
      for (int j = 0; j < kDice; ++j) {
        ASSERT_EQ(cell(i + 1, j + 1)->isVisibleTo(matrix), i < ring.n && j < ring.n) << text;
        if (i >= ring.n || j >= ring.n) continue;
        EXPECT_EQ(cell(i + 1, j + 1)->text().toStdString(), matrixCell(counted, i, j)) << text << i << j;
        EXPECT_EQ(cell(i + 1, j + 1)->styleSheet().contains("255, 255, 160"), j == ring.next(i)) << i << j;
      }
  }
  EXPECT_EQ(cell(1, 2)->accessibleName(), " 4/ 9,  .44");
}

// The chart shows the core's counts of 4x4 (2251 rings of link 9, 18 of link 10) on a logarithmic scale
// below the shortest bar, and 3x3's (5 of link 5) on a linear one; the mark follows the window's ring.
TEST_F(Extras, TheSpectrumChartShowsTheCountsOfEveryWeakestLinkAndMarksTheRingInTheWindow) {
  const auto chart = [&] { return static_cast<SpectrumWindow*>(find("frmSpectrum"))->chart(); };
  const auto bars = [&] { return static_cast<QBarSeries*>(chart()->series().value(0))->barSets().front(); };
  const auto marked = [&] {
    EXPECT_EQ(find<QLabel>("lblSpectrumNote")->text().toStdString(), spectrumMark(form).note);
    return bars()->selectedBars();
  };
  paste("2 4 14 15 | 1 8 12 13 | 7 9 10 11 | 3 5 6 16");
  choose("cmdSpectrum");
  ASSERT_TRUE(find("frmSpectrum")->isVisible());
  EXPECT_EQ(find("frmSpectrum")->windowTitle(), "Verteilung der schwächsten Stelle");
  EXPECT_EQ(std::tuple(bars()->count(), bars()->at(0), bars()->at(1)), std::tuple(2, 2251.0, 18.0));
  const auto* logarithmic = qobject_cast<QLogValueAxis*>(chart()->axes(Qt::Vertical).value(0));
  EXPECT_TRUE(logarithmic && logarithmic->min() < 18 && logarithmic->max() >= 2251);
  EXPECT_EQ(marked(), QList<int>{0});
  choose("cmdMaxMin");  // "bester 4x4", of link 10
  EXPECT_EQ(marked(), QList<int>{1});
  paste("3 5 7 | 2 4 9 | 1 6 8");
  EXPECT_EQ(marked(), QList<int>{});

  choose("cmdSpectrum");
  EXPECT_EQ(std::pair(bars()->count(), bars()->at(0)), std::pair(1, 5.0));
  EXPECT_FALSE(qobject_cast<QLogValueAxis*>(chart()->axes(Qt::Vertical).value(0)));
  EXPECT_EQ(marked(), QList<int>{0});
}

// The colour of a pixel's ink: 0 none (white, or the faint edge of a stroke), 1 red, 2 blue, 3 black.
int ink(QColor c) {
  const int strongest = std::max({c.red(), c.green(), c.blue()}),
            weakest = std::min({c.red(), c.green(), c.blue()});
  if (c.red() > c.green() + 90 && c.red() > c.blue() + 90) return 1;
  if (c.blue() > c.red() + 90 && c.blue() > c.green() + 90) return 2;
  if (strongest - weakest < 40 && strongest < 110) return 3;
  return 0;
}

// The share of the ink of `a` without ink of its colour within two pixels in `b` (all of it in no picture).
double strayInk(const QImage& a, const QImage& b) {
  int inked = 0, stray = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const int colour = ink(a.pixelColor(x, y));
      if (colour == 0) continue;
      ++inked;
      bool near = false;
      for (int dy = -2; dy <= 2 && !near; ++dy)
        for (int dx = -2; dx <= 2 && !near; ++dx)
          near = b.rect().contains(x + dx, y + dy) && ink(b.pixelColor(x + dx, y + dy)) == colour;
      stray += !near;
    }
  return inked ? static_cast<double>(stray) / inked : 0;
}

// A page of a PDF file as a picture, `dotsPerInch` fine.
QImage pdfPage(const QString& file, int dotsPerInch) {
  if (QString(VARNO_PDFTOPPM).isEmpty()) ADD_FAILURE() << "pdftoppm (poppler-utils) was not found";
  QProcess render;
  render.start(VARNO_PDFTOPPM, {"-r", QString::number(dotsPerInch), "-png", "-singlefile", file, file});
  EXPECT_TRUE(render.waitForFinished(-1) && render.exitCode() == 0)
      << render.readAllStandardError().toStdString();
  return QImage(file + ".png");
}

TEST_F(Extras, ExportedAndPrintedPicturesAreTheScreensGraphicAtTheirSize) {
  choose("cmdZyklisch");  // five dice with labels such as " 14/ 25"
  auto* canvas = find<Canvas>("picAusgabe");
  // The graphic as the screen shows it, without the controls that stand on it.
  for (const char* control : {"Label3", "hscBogen", "cmdZeigen(0)", "txtBeschriftung"}) find(control)->hide();
  const QImage screen = canvas->grab(canvas->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
  const QSize size = screen.size();
  const auto fitted = [&](const QImage& picture) {
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
  };
  // Through the menu: the ending chooses the kind; a file that cannot be written gets a message.
  const QTemporaryDir folder;
  dialogs.chosen = {folder.filePath("bild").toStdString(), folder.filePath("bild.SVG").toStdString(),
                    folder.filePath("bild.Pdf").toStdString(), "/nonexistent/bild.png"};
  for (int i = 0; i < 4; ++i) choose("cmdExport");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].prompt.starts_with("Exportieren abgebrochen!"));
  // Printed on A4 with margins of 10 mm: as large as the printable part allows, at its top and in its middle.
  dialogs.printing = [&](Printer& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("druck.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    return true;
  };
  choose("cmdPrint");
  const QImage page = pdfPage(folder.filePath("druck.pdf"), 100);
  const double dotsPerMillimetre = 100 / 25.4;
  const QSizeF printed = QSizeF(size).scaled(QSizeF(190, 277) * dotsPerMillimetre, Qt::KeepAspectRatio);
  const QRectF onPaper(QPointF((10 + 95) * dotsPerMillimetre - printed.width() / 2, 10 * dotsPerMillimetre),
                       printed);

  QImage svg(size, QImage::Format_RGB32);
  svg.fill(Qt::white);
  QSvgRenderer(folder.filePath("bild.SVG")).render(std::make_unique<QPainter>(&svg).get());
  const QImage png(folder.filePath("bild.png"));
  EXPECT_EQ(png.width(), 2400);
  EXPECT_EQ(png.dotsPerMeterX(), 11811);  // 300 dots per inch
  const std::pair<const char*, QImage> pictures[] = {
      {"PNG", fitted(png)},
      {"SVG", svg},
      {"PDF", fitted(pdfPage(folder.filePath("bild.Pdf"), 100))},
      {"gedruckt", fitted(page.copy(onPaper.toRect()))},
  };
  for (const auto& [kind, picture] : pictures) {
    EXPECT_LT(strayInk(picture, screen), 0.01) << kind;
    EXPECT_LT(strayInk(screen, picture), 0.01) << kind;
  }
  // Nothing printed beside or below the graphic: no ink is left once it is covered.
  QImage rest = page.copy();
  QPainter(&rest).fillRect(onPaper.adjusted(-2, -2, 2, 2), Qt::white);
  EXPECT_EQ(strayInk(rest, QImage()), 0);
}

// The strongest colour within two pixels of `at` (a thin line is smoothed over neighbouring pixels).
QColor inkNear(const QImage& image, QPointF at) {
  QColor darkest = Qt::white;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const QColor colour = image.pixelColor(at.toPoint() + QPoint(dx, dy));
      if (colour.lightness() < darkest.lightness()) darkest = colour;
    }
  return darkest;
}

TEST_F(Extras, TheGraphicStandsWhereItsCoordinatesSayAtEverySizeOfTheWindowAndItsMarkersTakeTheMouse) {
  writeMinimalRing();
  click("cmdZeigen(0)");
  // Where a point of the drawing's coordinates lands on the surface, worked out from their definition:
  // x runs from 14 at the left edge to -14 at the right, y from 16 at the top to -14 at the bottom.
  const auto pixel = [&](double x, double y) {
    const QRect area = find<Canvas>("picAusgabe")->contentsRect();
    return QPointF(area.left() + (14 - x) / 28 * area.width(), area.top() + (16 - y) / 30 * area.height());
  };
  const auto onSpoke = [&](int die, int dice, double radius) {
    const double theta = kFullTurn * die / dice;
    return pixel(radius * std::cos(theta), radius * std::sin(theta));
  };
  const QImage image = find("picAusgabe")->grab().toImage();
  // Spokes in red: die 3 stands at the left (x grows to the left), die 1 at the upper right.
  EXPECT_EQ(ink(inkNear(image, onSpoke(3, 3, 8.3))), 1);
  EXPECT_EQ(ink(inkNear(image, onSpoke(1, 3, 8.3))), 1);
  EXPECT_EQ(inkNear(image, pixel(-8.3, 0)), QColor(Qt::white));  // its mirror image is bare
  // The face 1 of die 3 beats nothing: its curve runs to the centre, in blue, inside the spoke's start.
  EXPECT_EQ(ink(inkNear(image, onSpoke(3, 3, 1.7))), 2);
  EXPECT_EQ(inkNear(image, onSpoke(1, 3, 1.7)), QColor(Qt::white));
  // The box between die 3 and die 1 holds blue writing.
  const double x = 11.5 * std::cos(kFullTurn / 3 * 3.5), y = 11.5 * std::sin(kFullTurn / 3 * 3.5);
  const QRect box = QRectF(pixel(x + 1.52, y), pixel(x - 1.48, y - 1)).toRect().adjusted(1, 1, -1, -1);
  bool blueWriting = false;
  for (int i = 0; i < box.width() * box.height(); ++i)
    blueWriting |= ink(image.pixelColor(box.left() + i % box.width(), box.top() + i / box.width())) == 2;
  EXPECT_TRUE(blueWriting);
  // The markers are centred on their faces, also when the window is resized, but never beyond the screens;
  // the pad glides to the selected face's die, and stays over it.
  EXPECT_FALSE(seen("shpkreis(24)"));
  click("txtAuge(10)");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !gliding(form); }, 10000));
  window.setWindowState(Qt::WindowNoState);
  for (const QSize size : {window.size(), QSize(700, 500), QSize(900, 1100), QSize(16000, 12000)}) {
    window.resize(size);
    QApplication::processEvents();
    EXPECT_LE(window.width(), window.screen()->virtualSize().width());
    const Geometry& pad = form.picEingabe.geometry();
    EXPECT_EQ(std::pair(pad.left, pad.top), std::pair(padTargetLeft(form), padTargetTop(form)));
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
