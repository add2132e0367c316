// The menu "Extras": the win matrix, exporting the graphic, the ring on the clipboard.
#include <QClipboard>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "canvas.h"
#include "form/numbertext.h"
#include "graphicexport.h"
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

TEST_F(Extras, TheWinMatrixCountsEveryPairOfDiceMarksTheNeighboursAndNamesTheStrongestOrder) {
  choose("cmdMatrix");
  auto* matrix = find("frmMatrix");
  EXPECT_EQ(matrix->windowTitle(), "Gewinnmatrix");
  // A ring, a ring the other way round, ties, a single face: the ring, W1 against W2 as shown, the order.
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"3 5 7 | 2 4 9 | 1 6 8", " 5/ 9\n .55",
       "Die stärkste Reihenfolge ist die des Rings: W1 → W2 → W3 → W1, schwächste Stelle 5/ 9."},
      {"1 6 8 | 2 4 9 | 3 5 7", " 4/ 9\n .44",
       "Varno-Ring in der Reihenfolge W1 → W3 → W2 → W1, schwächste Stelle 5/ 9."},
      {"1 2 3 | 2 2 2 | 3 3 1 | 0 0 0", " 3/ 9\n .33\n3 unentschieden", nullptr},
      {"5 | 3 | 4", " 1/ 1\n 1", "In keiner Reihenfolge bilden diese Würfel einen Varno-Ring."},
  };
  for (const auto& [text, firstCell, order] : rows) {
    paste(text);  // the open matrix follows the ring
    EXPECT_EQ(cell(1, 2)->text(), QString::fromUtf8(firstCell)) << text;
    EXPECT_EQ(cell(2, 2)->text(), QString::fromUtf8("–"));
    if (order) {
      EXPECT_EQ(find<QLabel>("lblOrder")->text(), QString::fromUtf8(order));
    }
    const Ring ring = readRing(form);
    for (int i = 0; i < kDice; ++i)
      for (int j = 0; j < kDice; ++j) {
        ASSERT_EQ(cell(i + 1, j + 1)->isVisibleTo(matrix), i < ring.n && j < ring.n) << text;
        if (i >= ring.n || j >= ring.n || i == j) continue;
        int wins = 0, ties = 0;  // counted face by face
        for (int a = 0; a < ring.k; ++a)
          for (int b = 0; b < ring.k; ++b) {
            wins += ring.values[i][a] > ring.values[j][b];
            ties += ring.values[i][a] == ring.values[j][b];
          }
        const QString shown = cell(i + 1, j + 1)->text();
        EXPECT_EQ(leadingNumber(shown.toStdString()), wins) << text << " " << i << "," << j;
        EXPECT_EQ(shown.endsWith(QString("\n%1 unentschieden").arg(ties)), ties > 0) << text;
        EXPECT_EQ(cell(i + 1, j + 1)->styleSheet().contains("255, 255, 160"), j == ring.next(i)) << i << j;
      }
  }
  EXPECT_EQ(cell(2, 3)->accessibleName(), " 0/ 1,  0");
}

TEST_F(Extras, CopyWritesTheRingWithBarsAndPasteRefusesAClipboardLargerThanAnyRingWithoutChangingAnything) {
  paste("(3, 5, 7), (2, 4, 9), (1, 6, 8)");
  window.run([&] { face(form, 0, 0).setText(" 03.50"); });
  choose("cmdCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "3.5 5 7 | 2 4 9 | 1 6 8");
  const auto shown = state();
  std::string huge;  // 20 MB of rings, which nobody should wait for
  while (huge.size() < (std::size_t{20} << 20)) huge += "1 2 | 3 4 | 5 6\n";
  paste(huge);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].prompt,
            "Einfügen abgebrochen!\r\n\r\nDer Text ist kein Ring: Der Text ist zu lang für einen Ring.");
  EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
  expectSame(state(), shown);
}

// Remembers which drawing a widget painted last.
class PaintWatch : public QObject {
 public:
  PaintWatch(QWidget* widget, const Surface& surface) : surface_(surface) {
    widget->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = surface_.revision();
    return false;
  }
  std::uint64_t painted = 0;

 private:
  const Surface& surface_;
};

TEST_F(Extras, TheStrongestRingIsToldOnlyOnceTheWindowShowsItDrawnAndNoLongerBusy) {
  window.run([&] { setRingSize(form, 4, 4); });
  const PaintWatch canvas(find("picAusgabe"), form.ausgabe);
  bool asked = false;
  dialogs.whileAsking = [&] {
    asked = true;
    for (int i = 0; i < 4 * kFaces; ++i)
      EXPECT_EQ(window.widget(form.txtAuge[i])->property("text").toString().toStdString(),
                form.txtAuge[i].text());
    EXPECT_EQ(find<PrintBox>("Picture1(3)")->printed(), " 10 / 16");
    EXPECT_EQ(canvas.painted, form.ausgabe.revision());
    EXPECT_FALSE(seen("Text4"));
    EXPECT_NE(find("frmVarno.client")->cursor().shape(), Qt::BusyCursor);
    EXPECT_TRUE(find<QAction>("cmdStrongest")->isEnabled());
  };
  choose("cmdStrongest");
  EXPECT_TRUE(asked);
  EXPECT_EQ(dialogs.messages.at(0).title, "Stärkster Ring");
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
