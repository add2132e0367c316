// Every text the program writes is shown whole, on every screen from 1024 x 768 up and at every scale: the
// main window's fields, boxes and captions, and the win matrix at every size of the ring. CTest runs these
// once more on screens of several sizes, at the scale factors 1, 1.5 and 2 (tests/CMakeLists.txt).
#include <QGroupBox>
#include <QScreen>

#include "windowfixture.h"

namespace varno {
namespace {

// Where a label draws its text, and where that text would reach in its font.
QRect room(const QLabel* label) {
  return label->contentsRect().marginsRemoved(
      QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
}
QRect needed(const QLabel* label) {
  const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  return QFontMetrics(label->font()).boundingRect(room(label), flags, label->text());
}

// What the user sees cut off: a text wider or higher than its room, or a control reaching beyond its window.
std::string cutTexts(QWidget* top) {
  std::string cut;
  for (const QLabel* label : top->findChildren<QLabel*>()) {
    if (!label->isVisibleTo(top) || label->text().isEmpty()) continue;
    const QRect where(label->mapTo(top, QPoint(0, 0)), label->size());
    if (!room(label).contains(needed(label)) || !top->rect().contains(where))
      cut += label->objectName().toStdString() + " \"" + label->text().toStdString() + "\" ";
  }
  return cut;
}

class Fit : public WindowTest {
 protected:
  // A ring of n dice with k faces, every face "1": every pair of dice ties k * k times.
  void tiedRing(int n, int k) {
    window.run([&] {
      form.VScroll1[0].setValue(n);
      form.VScroll1[1].setValue(k);
      for (int d = 0; d < n; ++d)
        for (int f = 0; f < k; ++f) face(form, d, f).setText("1");
    });
    QApplication::processEvents();
  }
};

TEST_F(Fit, TheWinMatrixFollowsTheRingAndStandsWholeOnTheScreenWithEveryTextInFull) {
  choose("cmdMatrix");  // at 3x3, at the right edge of the main window
  QApplication::processEvents();
  auto* matrix = find("frmMatrix");
  const QRect screen = window.screen()->availableGeometry();
  for (int n = 3; n <= kDice; ++n)
    for (int k = 1; k <= kFaces; ++k) {
      tiedRing(n, k);
      const std::string size = std::to_string(n) + "x" + std::to_string(k);
      ASSERT_EQ(find<QLabel>(("lblMatrix(" + std::to_string(n) + ",1)").c_str())->text(),
                QString(" 0/ %1\n 0\n%1 unentschieden").arg(k * k))
          << size;
      EXPECT_TRUE(screen.contains(matrix->frameGeometry())) << size;
      EXPECT_EQ(cutTexts(matrix), "") << size;
    }
}

}  // namespace
}  // namespace varno
