#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace varno {

namespace {

QPolygonF octagon(QPointF centre, double radius) {
  QPolygonF points;
  for (int i = 0; i < 8; ++i) {
    const double angle = M_PI / 8 + i * M_PI / 4;
    points << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
  }
  return points;
}

}  // namespace

QPixmap stopSign(int size) {
  const qreal ratio = 2;  // drawn at twice the size for high-density screens
  QPixmap pixmap(QSize(size, size) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(size / 2.0, size / 2.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(200, 0, 0));
  painter.drawPolygon(octagon(centre, size / 2.0));
  painter.setPen(QPen(Qt::white, std::max(1.0, size / 24.0)));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolygon(octagon(centre, size / 2.0 - size / 14.0));
  QFont font("Liberation Sans");
  font.setBold(true);
  font.setPixelSize(std::max(4, size * 3 / 10));
  painter.setFont(font);
  painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, "STOP");
  return pixmap;
}

}  // namespace varno
