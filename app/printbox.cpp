#include "printbox.h"

#include <QPainter>
#include <algorithm>

#include "fitting.h"

namespace varno {

PrintBox::PrintBox(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, Qt::white);
  setPalette(colours);
}

void PrintBox::setPrinted(const QString& text) {
  if (text == printed_) return;
  printed_ = text;
  setAccessibleName(text);
  update();
}

QFont PrintBox::printFont() const {
  // The printed text keeps the box's font unless it would not fit; then it shrinks until it does.
  const QSize room = contentsRect().size();
  return largestFitting(font(), [&](const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(printed_) <= room.width() && metrics.height() <= room.height();
  });
}

void PrintBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setFont(printFont());
  painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop, printed_);
}

}  // namespace varno
