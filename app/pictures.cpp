#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "icons/sun16.xpm"
#include "icons/sun32.xpm"

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

// A transparent picture of `size` pixels, drawn at twice the density for high-density screens.
QPixmap blank(int size) {
  const qreal ratio = 2;
  QPixmap pixmap(QSize(size, size) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QPixmap stopSign(int size) {
  QPixmap pixmap = blank(size);
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

QPixmap arrow(int size, int degrees) {
  QPixmap pixmap = blank(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(size / 2.0, size / 2.0);
  painter.rotate(degrees);
  const double s = size / 2.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  // A shaft and a head, pointing to the right before rotating.
  painter.drawRect(QRectF(-0.75 * s, -0.14 * s, 0.95 * s, 0.28 * s));
  painter.drawPolygon(
      QPolygonF({QPointF(0.8 * s, 0), QPointF(0.1 * s, -0.5 * s), QPointF(0.1 * s, 0.5 * s)}));
  return pixmap;
}

QPixmap backArrow(int size) {
  QPixmap pixmap = blank(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  // A curve from the lower right up and round to the left, with the head at its left end.
  QPainterPath path;
  path.moveTo(0.78 * s, 0.82 * s);
  path.cubicTo(0.95 * s, 0.45 * s, 0.75 * s, 0.22 * s, 0.42 * s, 0.28 * s);
  painter.setPen(QPen(Qt::black, s * 0.11, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(path);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawPolygon(
      QPolygonF({QPointF(0.1 * s, 0.3 * s), QPointF(0.46 * s, 0.08 * s), QPointF(0.46 * s, 0.5 * s)}));
  return pixmap;
}

QImage sunImage(int size) {
  if (size == 16) return QImage(sun16).convertToFormat(QImage::Format_ARGB32);
  if (size == 32) return QImage(sun32).convertToFormat(QImage::Format_ARGB32);
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double c = size / 2.0;
  painter.translate(c, c);
  // Twelve rays, wide at the disc and pointed outside.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 190, 0));
  for (int i = 0; i < 12; ++i) {
    painter.save();
    painter.rotate(i * 30);
    painter.drawPolygon(QPolygonF(
        {QPointF(-0.07 * size, -0.3 * size), QPointF(0, -0.48 * size), QPointF(0.07 * size, -0.3 * size)}));
    painter.restore();
  }
  QRadialGradient light(QPointF(-0.08 * size, -0.08 * size), 0.3 * size);
  light.setColorAt(0, QColor(255, 245, 170));
  light.setColorAt(0.45, QColor(255, 210, 0));
  light.setColorAt(1, QColor(255, 150, 0));
  painter.setBrush(light);
  painter.drawEllipse(QPointF(0, 0), 0.26 * size, 0.26 * size);
  return image;
}

QIcon windowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(sunImage(size)));
  return icon;
}

}  // namespace varno
