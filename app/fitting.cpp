#include "fitting.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

#include "convert.h"
#include "form/form.h"
#include "graphic/drawing.h"

namespace varno {

namespace {

constexpr double kGap = 15;  // twips between two neighbours: one pixel

int pixels(double twips) {
  return static_cast<int>(std::floor(twips / kTwipsPerPixel));
}

const Geometry& at(const Control& control) {
  return control.geometry();
}

// The index of a control within its array, or -1.
int indexIn(const std::vector<Control>& array, const Control& control) {
  return !array.empty() && &control >= array.data() && &control < array.data() + array.size()
             ? static_cast<int>(&control - array.data())
             : -1;
}

// Where a line edit draws its text: its contents without the frame and the toolkit's margins.
QRect lineEditText(const QLineEdit* field) {
  QStyleOptionFrame option;
  option.initFrom(field);
  option.rect = field->contentsRect();
  option.lineWidth =
      field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  const QRect contents = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
  return contents.marginsRemoved(field->textMargins()).adjusted(2, 0, -2, 0);  // the toolkit's 2 pixels aside
}

}  // namespace

QSize shownSize(const Form& form, const Control& control, QSize designed) {
  double width = 1e9, height = 1e9;  // the room in twips
  const double step = at(form.frmWürfel[1]).left - at(form.frmWürfel[0]).left;
  if (int i = indexIn(form.txtAuge, control); i >= 0) {
    // A face stays in its die's column and above the next face.
    width = step - at(control).left - kGap;
    height = at(form.txtAuge[1]).top - at(form.txtAuge[0]).top - kGap;
  } else if (int d = indexIn(form.txtSumme, control); d >= 0) {
    width = step - at(control).left - kGap;
    height = at(form.cmdLösch[d]).top - at(control).top - kGap;
  } else if (int d = indexIn(form.cmdLösch, control); d >= 0) {
    width = step - at(control).left - kGap;
    height = at(form.txtAuge[8 * d]).top - at(control).top - kGap;
  } else if (int i = indexIn(form.Text2, control); i >= 0) {
    // The ties above the die frames, the winning fractions above the ties.
    width = std::min(step, at(form.picAusgabe).left - at(control).left) - kGap;
    height = at(form.frmWürfel[0]).top - at(control).top - kGap;
  } else if (int i = indexIn(form.txtPGewinn, control); i >= 0) {
    height = (i < kDice ? at(form.Text2[0]).top : at(form.txtPGewinn[0]).top) - at(control).top - kGap;
    width = at(form.picAusgabe).left - at(control).left - kGap;  // the last column ends at the graphic
  } else if (indexIn(form.Label1, control) >= 0) {
    // The row labels end where the first column begins.
    width = at(form.frmWürfel[0]).left - at(control).left - kGap;
  } else if (&control == &form.Label3) {
    // The caption over the surface: within its width, and above the graphic's highest text, whose place
    // follows the surface's height (its frame only moves it further down).
    width = at(form.picAusgabe).width - at(control).left - 2 * kTwipsPerPixel;
    const double highest = (kDrawingTop - kHighestText) / (kDrawingTop - kDrawingBottom);
    height = highest * at(form.picAusgabe).height - at(control).top - kGap;
  } else if (&control == &form.cmdStop || &control == &form.Text4) {
    // Over the result frame, but not over the counters and the labels and boxes below its top.
    const Geometry& frame = at(form.Frame3);
    for (const Control* below : {&form.Text3[0], &form.Label6[0], &form.Command9, &form.Picture1[1],
                                 &form.Picture1[3], &form.Label5[1]}) {
      const Geometry& g = at(*below);
      const double left = frame.left + g.left, right = left + g.width;
      if (right <= at(control).left || left >= at(control).left + at(control).width) continue;
      // A field's text stands in its middle; leave room for half of a field's height.
      const double top = frame.top + g.top + (below->kind() == ControlKind::TextBox ? g.height / 4 : 0);
      height = std::min(height, top - at(control).top - kGap);
    }
  }
  return {std::max(1, std::min(designed.width(), pixels(width))),
          std::max(1, std::min(designed.height(), pixels(height)))};
}

bool textFits(const QWidget* widget, const QFont& font) {
  const QFontMetrics metrics(font);
  if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
    const QRect room = lineEditText(field);
    // The field scrolls a text that reaches its right margin, where its cursor would stand.
    return metrics.horizontalAdvance(field->text()) < room.width() && metrics.height() <= room.height();
  }
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    const QRect room = label->contentsRect().marginsRemoved(
        QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return room.contains(metrics.boundingRect(room, flags, label->text()));
  }
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return metrics.horizontalAdvance(button->text()) <= room.width() && metrics.height() <= room.height() + 2;
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
    return metrics.horizontalAdvance(frame->title()) + 12 <= frame->width();
  return true;
}

QFont fittedFont(const QWidget* widget, const QFont& designed) {
  return largestFitting(designed, [widget](const QFont& font) { return textFits(widget, font); });
}

}  // namespace varno
