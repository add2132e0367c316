// The menu "Extras" and the keyboard: the win matrix, exporting the graphic, the ring on the clipboard.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include "canvas.h"
#include "graphicexport.h"
#include "window/montecarlo.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Extras : public WindowTest {
 protected:
  void choose(const char* item) { window.findChild<QAction*>(QString::fromUtf8(item))->trigger(); }
  void paste(const std::string& ring) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(ring));
    choose("cmdPaste");
  }
  QString cell(int i, int j) {
    return find<QLabel>(("lblMatrix(" + std::to_string(i) + "," + std::to_string(j) + ")").c_str())->text();
  }
  // Everything the form shows, to compare two ways of doing the same.
  std::vector<std::string> state() const {
    std::vector<std::string> all;
    for (const Control* control : form.controls())
      all.push_back(control->name() + "=" + control->text() + "/" + std::to_string(control->visible()));
    all.push_back(std::to_string(form.Feldnummer.value_or(-1)));
    return all;
  }
};

TEST_F(Extras, TheMenuStandsRightOfInformationWithItsItemsInGerman) {
  QStringList bar;
  for (QAction* item : window.menuBar()->actions()) bar << item->text();
  EXPECT_EQ(bar.mid(5), (QStringList{"Information", "Extras"}));
  QStringList items;
  for (QAction* item : window.findChild<QMenu*>("cmdExtras")->actions()) items << item->text();
  EXPECT_EQ(items, (QStringList{"Gewinnmatrix", QString::fromUtf8("stärksten Ring zeigen"),
                                QString::fromUtf8("Graphik exportieren …"), "Ring kopieren",
                                QString::fromUtf8("Ring einfügen")}));
}

TEST_F(Extras, TheWinMatrixShowsEveryPairAndTheStrongestOrderAndFollowsTheRing) {
  paste("3 5 7 | 2 4 9 | 1 6 8");
  choose("cmdMatrix");
  auto* matrix = find("frmMatrix");
  EXPECT_TRUE(matrix->isVisible());
  EXPECT_EQ(matrix->windowTitle(), "Gewinnmatrix");
  // Worked out by hand: 3 5 7 against 1 6 8 wins 1 + 1 + 2 pairs.
  EXPECT_EQ(cell(1, 2), " 5/ 9\n .55");
  EXPECT_EQ(cell(1, 3), " 4/ 9\n .44");
  EXPECT_EQ(cell(3, 1), " 5/ 9\n .55");
  EXPECT_EQ(cell(2, 2), QString::fromUtf8("–"));
  EXPECT_EQ(find<QLabel>("lblMatrix(1,2)")->accessibleName(), " 5/ 9,  .55");
  EXPECT_TRUE(find<QLabel>("lblMatrix(3,1)")->styleSheet().contains("255, 255, 160"));  // a neighbour pair
  EXPECT_FALSE(find<QLabel>("lblMatrix(1,3)")->styleSheet().contains("255, 255, 160"));
  EXPECT_EQ(find<QLabel>("lblOrder")->text(),
            QString::fromUtf8(
                "Die stärkste Reihenfolge ist die des Rings: W1 → W2 → W3 → W1, schwächste Stelle 5/ 9."));
  // The reversed ring is a ring the other way round; ties and a single face.
  paste("1 6 8 | 2 4 9 | 3 5 7");
  EXPECT_EQ(find<QLabel>("lblOrder")->text(),
            QString::fromUtf8("Varno-Ring in der Reihenfolge W1 → W3 → W2 → W1, schwächste Stelle 5/ 9."));
  paste("1 2 3 | 2 2 2 | 3 3 1 | 0 0 0");
  EXPECT_EQ(cell(1, 2), " 3/ 9\n .33\n3 unentschieden");
  EXPECT_TRUE(find("lblMatrix(4,4)")->isVisibleTo(matrix));
  paste("5 | 3 | 4");
  EXPECT_EQ(cell(1, 2), " 1/ 1\n 1");
  EXPECT_EQ(cell(2, 3), " 0/ 1\n 0");
  EXPECT_FALSE(find("lblMatrix(4,4)")->isVisibleTo(matrix));
  EXPECT_EQ(find<QLabel>("lblOrder")->text(), "In keiner Reihenfolge bilden diese Würfel einen Varno-Ring.");
  // It follows a face written with the pad.
  QTest::mouseClick(find("txtAuge(8)"), Qt::LeftButton, {}, QPoint(4, 4));
  QTest::mouseClick(find("cmdZahl(9)"), Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(cell(2, 3), " 1/ 1\n 1");
}

TEST_F(Extras, CopyThenPasteRestoresTheRingAndATextThatIsNoRingChangesNothing) {
  paste("3 5 7 | 2 4 9 | 1 6 8");
  window.run([&] { face(form, 0, 0).setText(" 03.50"); });
  choose("cmdCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "3.5 5 7 | 2 4 9 | 1 6 8");
  paste(" 4 4 | 1 2  |3 3 ");
  EXPECT_EQ(text("Text1(0)"), "3");
  EXPECT_EQ(text("Text1(1)"), "2");
  paste("3.5 5 7 | 2 4 9 | 1 6 8");
  EXPECT_EQ(text("txtAuge(0)"), "3.5");
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
  const auto shown = state();
  for (const char* bad : {"", "1 2 | 3 4", "1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9", "1 2 | 3 | 4 5",
                          "1 x | 2 3 | 4 5", "1 2 3 4 5 6 7 8 9 | 1 | 1"}) {
    dialogs.messages.clear();
    paste(bad);
    ASSERT_EQ(dialogs.messages.size(), 1u) << bad;
    EXPECT_TRUE(dialogs.messages[0].prompt.starts_with("Einfügen abgebrochen!")) << bad;
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
    EXPECT_TRUE(state() == shown) << bad;
  }
}

TEST_F(Extras, AnExportedPictureHasTheMarkersWhereTheScreenHasThemAndAnSvgHoldsTheCurves) {
  paste("3 5 7 | 2 4 9 | 1 6 8");
  auto* canvas = find<Canvas>("picAusgabe");
  const QRect area = canvas->contentsRect();
  const QImage png = QImage::fromData(graphicPicture(form, false, area.size()), "PNG");
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.width(), 2400);
  const double scale = 2400.0 / area.width();
  for (const char* name : {"shpkreis(11)", "shpkreis(23)", "shpkreis(32)"}) {
    const QPointF centre = QRectF(find(name)->geometry()).center() - QPointF(area.topLeft());
    EXPECT_EQ(png.pixelColor((centre * scale).toPoint()), QColor(255, 0, 0)) << name;
  }
  const QByteArray svg = graphicPicture(form, true, area.size());
  EXPECT_TRUE(QSvgRenderer(svg).isValid());
  QXmlStreamReader reader(svg);
  int curves = 0;
  while (!reader.atEnd())
    if (reader.readNext() == QXmlStreamReader::StartElement &&
        reader.attributes().value("stroke") == QLatin1String("#0000dc"))
      ++curves;
  EXPECT_FALSE(reader.hasError());
  EXPECT_GE(curves, 9);  // one curve for each of the nine faces at least

  // Through the menu: the ending chooses the kind; a file that cannot be written gets a message.
  const QString folder = QDir::temp().filePath(QString("varno-export-%1").arg(::getpid()));
  QDir().mkpath(folder);
  dialogs.chosen = {(folder + "/bild").toStdString(), (folder + "/bild.SVG").toStdString(),
                    "/nonexistent/bild.png"};
  for (int i = 0; i < 3; ++i) choose("cmdExport");
  EXPECT_EQ(dialogs.files[0].kind, FileKind::Picture);
  EXPECT_FALSE(QImage(folder + "/bild.png").isNull());
  EXPECT_TRUE(QSvgRenderer(folder + "/bild.SVG").isValid());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].prompt.starts_with("Exportieren abgebrochen!"));
  QDir(folder).removeRecursively();
}

TEST_F(Extras, EveryKeyDoesWhatItsButtonDoes) {
  struct Row {
    QKeySequence key;
    const char* button;
  };
  const Row rows[] = {
      {QKeySequence(Qt::Key_7), "cmdZahl(7)"},       {QKeySequence(Qt::Key_0), "cmdZahl(0)"},
      {QKeySequence(Qt::Key_Backspace), "Command3"}, {QKeySequence(Qt::Key_Down), "Command5"},
      {QKeySequence(Qt::Key_Up), "Command6"},        {QKeySequence(Qt::Key_Right), "Command7"},
      {QKeySequence(Qt::Key_Left), "Command8"},      {QKeySequence(Qt::Key_Escape), "Command4"},
      {QKeySequence("Ctrl+C"), "cmdCopy"},           {QKeySequence("Ctrl+V"), "cmdPaste"},
      {QKeySequence("Ctrl+S"), "cmdSpeichern"},      {QKeySequence("Ctrl+O"), "cmdLaden"},
      {QKeySequence("Ctrl+Q"), "cmdBeenden"},
  };
  bool ended = false;
  form.endProgram = [&] { ended = true; };
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const auto start = [&] {
    paste("3 5 7 | 2 4 9 | 1 6 8");
    QTest::mouseClick(find("txtAuge(10)"), Qt::LeftButton, {}, QPoint(4, 4));
    QGuiApplication::clipboard()->setText("1 2 | 3 4 | 5 6");
    window.run([&] { Command9_Click(form); });  // the hit counter counts on otherwise
    dialogs.files.clear();
    ended = false;
  };
  for (const Row& row : rows) {
    start();
    if (auto* item = window.findChild<QAction*>(QString::fromUtf8(row.button))) {
      item->trigger();
    } else {
      QTest::mouseClick(find(row.button), Qt::LeftButton, {}, QPoint(4, 4));
    }
    const auto byButton = state();
    const auto filesByButton = dialogs.files.size();
    const bool endedByButton = ended;
    start();
    QTest::keySequence(&window, row.key);
    const auto byKey = state();
    for (std::size_t i = 0; i < byKey.size(); ++i) EXPECT_EQ(byKey[i], byButton[i]) << row.button;
    EXPECT_EQ(dialogs.files.size(), filesByButton) << row.button;
    EXPECT_EQ(ended, endedByButton) << row.button;
  }
  // Without the pad, digits are no edits.
  start();
  QTest::mouseClick(find("Command4"), Qt::LeftButton, {}, QPoint(4, 4));
  QTest::keyClick(&window, Qt::Key_5);
  EXPECT_EQ(text("txtAuge(10)"), "9");
}

TEST_F(Extras, ARingGivenAtStartIsShownInsteadOfTheSearchedOne) {
  window.ringAtStart("1 6 8 | 2 4 9 | 3 5 7");
  EXPECT_EQ(text("txtRückmeldung"), " ja, linksrum");
  EXPECT_FALSE(form.Begrüßung);
  window.ringAtStart("1 6");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(text("txtAuge(0)"), "1");
}

}  // namespace
}  // namespace varno
