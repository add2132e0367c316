// Every text the program writes is shown whole: the window's, its graphic's and those of Extras. CTest runs
// these once more on screens from 1024x768 up, at the scale factors 1, 1.5 and 2 (tests/CMakeLists.txt).
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <regex>

#include "canvas.h"

#include "windowfixture.h"

namespace varno {
namespace {

// Where a label draws its text, and where that text would reach in its font.
QRect room(const QLabel* label) {
  const int margin = label->margin();
  return label->contentsRect().adjusted(margin, margin, -margin, -margin);
}
QRect needed(const QLabel* label) {
  const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  return QFontMetrics(label->font()).boundingRect(room(label), flags, label->text());
}

// Where a control draws its text, and the room it has for it there, in the control's own coordinates.
struct Shown {
  QRect text, room;
};

Shown shownText(QWidget* widget) {
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    // The field draws its text in its contents less its frame and 2 pixels aside, and scrolls a wider text
    // away from its beginning: the cursor after the last character (its rectangle reaches 5 pixels to its
    // left) and the first character shown say where the text stands.
    QStyleOptionFrame frame;
    frame.initFrom(field);
    frame.rect = field->contentsRect();
    frame.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
    const QRect room =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field).adjusted(2, 0, -2, 0);
    const int at = field->cursorPosition();
    field->setCursorPosition(static_cast<int>(field->text().size()));
    const int right = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() + 5;
    const int first = field->cursorPositionAt(QPoint(field->contentsRect().left() + 3, field->height() / 2));
    field->setCursorPosition(at);
    const QFontMetrics metrics(field->font());
    const int left = first == 0 ? std::max(room.left(), right - metrics.horizontalAdvance(field->text()))
                                : room.left() - 1;
    return {
        QRect(left, room.top() + (room.height() - metrics.height()) / 2, right - left + 1, metrics.height()),
        room};
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) return {needed(label), room(label)};
  if (auto* box = dynamic_cast<PrintBox*>(widget)) {
    const QFontMetrics metrics(box->printFont());
    const QRect area = box->contentsRect();
    return {QRect(area.topLeft(), QSize(metrics.horizontalAdvance(box->printed()), metrics.height())), area};
  }
  if (auto* button = qobject_cast<QPushButton*>(widget); button && !button->text().isEmpty()) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    // The text stands in the middle of the contents and may reach a pixel beyond them above and below.
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).adjusted(0, -1, 0, 1);
    const QFontMetrics metrics(button->font());
    const QSize size(metrics.horizontalAdvance(button->text()), metrics.height());
    return {QStyle::alignedRect(button->layoutDirection(), Qt::AlignCenter, size, room), room};
  }
  if (auto* frame = qobject_cast<QGroupBox*>(widget); frame && !frame->title().isEmpty()) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label =
        frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    const QSize size(QFontMetrics(frame->font()).horizontalAdvance(frame->title()), label.height());
    return {QRect(label.topLeft(), size), label.intersected(frame->rect())};
  }
  return {};
}

// Every text of a window that is cut, or covered by another control: its control, the text, and why.
std::string cutOrCovered(QWidget* top) {
  std::string found;
  QList<QWidget*> shown;
  for (QWidget* widget : top->findChildren<QWidget*>())
    if (widget->isVisibleTo(top) && !widget->isWindow()) shown << widget;
  // Whether `over` is painted over `under`: the later of their branches below their nearest common ancestor.
  const auto above = [](QWidget* over, QWidget* under) {
    for (QWidget* a = over; a; a = a->parentWidget())
      for (QWidget* b = under; b; b = b->parentWidget())
        if (a->parentWidget() && a->parentWidget() == b->parentWidget() && a != b) {
          const QObjectList& siblings = a->parentWidget()->children();
          return siblings.indexOf(a) > siblings.indexOf(b);
        }
    return false;
  };
  const auto extent = [](QRect r) { return std::to_string(r.width()) + " x " + std::to_string(r.height()); };
  for (QWidget* widget : shown) {
    const Shown text = shownText(widget);
    if (text.text.isEmpty()) continue;
    const std::string name = widget->objectName().toStdString();
    if (!text.room.contains(text.text))
      found += name + " cut (" + extent(text.text) + " in " + extent(text.room) + ") ";
    const QRect global(widget->mapToGlobal(text.text.topLeft()), text.text.size());
    for (QWidget* outer = widget->parentWidget(); outer;
         outer = outer->isWindow() ? nullptr : outer->parentWidget())
      if (!QRect(outer->mapToGlobal(QPoint(0, 0)), outer->size()).contains(global))
        found += name + " beyond " + outer->objectName().toStdString() + " ";
    for (QWidget* other : shown) {
      if (other == widget || other->isAncestorOf(widget) || widget->isAncestorOf(other)) continue;
      const QRect rect(other->mapToGlobal(QPoint(0, 0)), other->size());
      if (rect.intersects(global) && above(other, widget))
        found += name + " covered by " + other->objectName().toStdString() + " ";
    }
  }
  if (auto* main = qobject_cast<QMainWindow*>(top))
    for (QAction* menu : main->menuBar()->actions()) {
      const QRect where = main->menuBar()->actionGeometry(menu);
      if (where.isEmpty() || !main->menuBar()->rect().contains(where))
        found += "menu " + menu->text().toStdString() + " hidden ";
    }
  return found;
}

class Fit : public WindowTest {
 protected:
  // A ring of n dice with k faces, every face "1": every pair of dice ties k * k times.
  void tiedRing(int n, int k) {
    window.run([&] {
      setRingSize(form, n, k);
      for (int d = 0; d < n; ++d)
        for (int f = 0; f < k; ++f) face(form, d, f).setText("1");
    });
    QApplication::processEvents();
  }

  // Every text of the graphic that stands beyond its surface, under the caption, on another or on a marker.
  std::string graphicTextsNotApart() {
    const auto* canvas = find<Canvas>("picAusgabe");
    const QRectF area = canvas->contentsRect();
    const QTransform map = userToPixels(form.ausgabe, area);
    // Where each text stands: its line as its font sets it, and its ink, which may reach a little beyond.
    std::vector<std::pair<QRectF, std::string>> texts;
    std::vector<QRectF> inks;
    for (const Primitive& p : form.ausgabe.primitives()) {
      if (p.kind != Primitive::Kind::Text) continue;
      const QFontMetricsF metrics(textFont(p, area, canvas->font()));
      const QString text = QString::fromStdString(p.text);
      const QPointF corner = map.map(QPointF(p.x1, p.y1));
      const QRectF line(corner, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
      inks.push_back(metrics.tightBoundingRect(text).translated(corner.x(), corner.y() + metrics.ascent()));
      texts.emplace_back(line.united(inks.back()), p.text);
    }
    if (texts.size() != 16u) return std::to_string(texts.size()) + " texts";
    for (int c = 0; c < kDice; ++c)
      EXPECT_TRUE(std::regex_match(texts[kDice + c].second, std::regex(" [4-6][0-9]/ 64")))
          << texts[kDice + c].second;
    // The caption over the surface, in its fitted font, clear of them all.
    const auto* caption = find<QLabel>("Label3");
    EXPECT_TRUE(caption->isVisible());
    const QRectF above = needed(caption).translated(caption->pos());
    std::string found;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const auto& [box, text] = texts[i];
      if (!area.contains(box)) found += "\"" + text + "\" beyond the surface ";
      if (box.intersects(above)) found += "\"" + text + "\" under the caption ";
      for (std::size_t j = i + 1; j < texts.size(); ++j)
        if (box.intersects(texts[j].first)) found += "\"" + text + "\" on \"" + texts[j].second + "\" ";
      // Its ink clear of the red discs of the markers.
      for (const QWidget* marker : canvas->findChildren<QWidget*>()) {
        if (!marker->objectName().startsWith("shpkreis") || !marker->isVisible()) continue;
        const QPointF centre = QRectF(marker->geometry()).center();
        const QPointF nearest(std::clamp(centre.x(), inks[i].left(), inks[i].right()),
                              std::clamp(centre.y(), inks[i].top(), inks[i].bottom()));
        if (QLineF(centre, nearest).length() < markerDiameter(area) / 2 - 1)
          found += "\"" + text + "\" on " + marker->objectName().toStdString() + " ";
      }
    }
    return found;
  }
};

// The win matrix at every size of the ring, and the chart of the weakest links of 3x8, all eight of them.
TEST_F(Fit, TheWindowsOfExtrasStandWholeOnTheScreenWithEveryTextInFull) {
  const QRect screen = window.screen()->availableGeometry();
  window.run([&] { setRingSize(form, 3, 8); });
  choose("cmdSpectrum");
  QApplication::processEvents();
  auto* spectrum = find("frmSpectrum");
  EXPECT_TRUE(screen.contains(spectrum->frameGeometry()));
  EXPECT_EQ(cutOrCovered(spectrum), "");
  choose("cmdMatrix");  // at the right edge of the main window
  auto* matrix = find("frmMatrix");
  for (int n = 3; n <= kDice; ++n)
    for (int k = 1; k <= kFaces; ++k) {
      tiedRing(n, k);
      const std::string size = std::to_string(n) + "x" + std::to_string(k);
      const QString last = find<QLabel>(("lblMatrix(" + std::to_string(n) + ",1)").c_str())->text();
      ASSERT_EQ(last, QString(" 0/ %1\n 0\n%1 unentschieden").arg(k * k)) << size;
      EXPECT_TRUE(screen.contains(matrix->frameGeometry())) << size;
      EXPECT_EQ(cutOrCovered(matrix), "") << size;
    }
}

TEST_F(Fit, EveryTextOfTheWindowAndItsGraphicIsShownWholeAndUncoveredWithTheLongestTexts) {
  const auto check = [&](const std::string& state) {
    QApplication::processEvents();
    EXPECT_EQ(cutOrCovered(&window), "") << state << " in " << window.width() << "x" << window.height();
  };
  // After counting all labellings of 5x4 and of 6x5: the counters' longest texts.
  for (const auto& [n, k] : {std::pair{5, 4}, std::pair{6, 5}}) {
    window.run([&, n = n, k = k] { setRingSize(form, n, k); });
    choose("cmdBelzähl");
    check("counted " + std::to_string(n) + "x" + std::to_string(k));
  }
  EXPECT_EQ(text("Text3(0)"), "1.48054410099647E+19");
  // The strongest ring of 8x8, whose graphic's texts are the widest (it wins at least 44 of 64 pairs on
  // every link), every face tied, and busy.
  window.run([&] { setRingSize(form, 8, 8); });
  choose("cmdStrongest");
  check("strongest 8x8");
  EXPECT_EQ(graphicTextsNotApart(), "");
  tiedRing(8, 8);
  check("tied 8x8");
  window.run(
      [&] {
        form.Text4.setVisible(true);
        form.prgFortschritt.setVisible(true);
        form.lblRestzeit.setVisible(true);
        form.lblRestzeit.setText("der letzte Ring wird gesucht ...");
      },
      MainWindow::Gate::Always);
  check("busy");
}

}  // namespace
}  // namespace varno
