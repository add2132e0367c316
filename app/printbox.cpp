#include "printbox.h"

#include <QPainter>

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
  painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, printed_);
}

}  // namespace varno
