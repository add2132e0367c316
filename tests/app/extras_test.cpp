// The menu "Extras": the win matrix, exporting the graphic, the ring on the clipboard.
#include <QClipboard>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "canvas.h"
#include "graphicexport.h"
#include "ring/matrix.h"
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

TEST_F(Extras, CopyThenPasteRestoresTheRingAndATextThatIsNoRingChangesNothing) {
  paste("3 5 7 | 2 4 9 | 1 6 8");
  window.run([&] { face(form, 0, 0).setText(" 03.50"); });
  choose("cmdCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "3.5 5 7 | 2 4 9 | 1 6 8");
  paste(" 4 4 | 1 2  |3 3 ");
  EXPECT_EQ(text("Text1(0)") + text("Text1(1)"), "32");
  paste("3.5 5 7 | 2 4 9 | 1 6 8");
  EXPECT_EQ(text("txtAuge(0)") + text("txtRückmeldung"), "3.5 ja, rechtsrum");
  const auto shown = state();
  for (const char* bad : {"", "1 2 | 3 4", "1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9", "1 2 | 3 | 4 5",
                          "1 x | 2 3 | 4 5", "1 2 3 4 5 6 7 8 9 | 1 | 1"}) {
    dialogs.messages.clear();
    paste(bad);
    ASSERT_EQ(dialogs.messages.size(), 1u) << bad;
    EXPECT_TRUE(dialogs.messages[0].prompt.starts_with("Einfügen abgebrochen!")) << bad;
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
    expectSame(state(), shown, bad);
  }
}

TEST_F(Extras, AnExportedPictureHasTheMarkersWhereTheScreenHasThemAndAnSvgHoldsTheCurves) {
  paste("3 5 7 | 2 4 9 | 1 6 8");
  const QRect area = find<Canvas>("picAusgabe")->contentsRect();
  const QImage png = QImage::fromData(graphicPicture(form, false, area.size()), "PNG");
  ASSERT_EQ(png.width(), 2400);
  for (const char* name : {"shpkreis(11)", "shpkreis(23)", "shpkreis(32)"}) {
    const QPointF centre = QRectF(find(name)->geometry()).center() - QPointF(area.topLeft());
    EXPECT_EQ(png.pixelColor((centre * 2400.0 / area.width()).toPoint()), QColor(255, 0, 0)) << name;
  }
  const QByteArray svg = graphicPicture(form, true, area.size());
  EXPECT_TRUE(QSvgRenderer(svg).isValid());
  EXPECT_GE(svg.count("stroke=\"#0000dc\""), 9);  // a blue curve for each of the nine faces at least
  EXPECT_TRUE(svg.contains("fill=\"#0000d2\""));  // and blue writing in the boxes
  // Through the menu: the ending chooses the kind; a file that cannot be written gets a message.
  const QTemporaryDir folder;
  dialogs.chosen = {folder.filePath("bild").toStdString(), folder.filePath("bild.SVG").toStdString(),
                    "/nonexistent/bild.png"};
  for (int i = 0; i < 3; ++i) choose("cmdExport");
  EXPECT_FALSE(QImage(folder.filePath("bild.png")).isNull());
  EXPECT_TRUE(QSvgRenderer(folder.filePath("bild.SVG")).isValid());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].prompt.starts_with("Exportieren abgebrochen!"));
}

}  // namespace
}  // namespace varno
