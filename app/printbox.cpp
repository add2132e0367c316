#include "printbox.h"

#include <QPainter>
#include <algorithm>

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

void PrintBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(Qt::black);
  // The printed text keeps the box's font unless it would not fit; then it shrinks to the box's width.
  QFont font = this->font();
  const QRect area = contentsRect();
  const int width = QFontMetrics(font).horizontalAdvance(printed_);
  if (width > area.width() && width > 0) {
    font.setPointSizeF(std::max(4.0, font.pointSizeF() * area.width() / width));
    painter.setFont(font);
  }
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, printed_);
}

}  // namespace varno
