#include "canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "convert.h"
#include "form/layout.h"

namespace varno {

namespace {

const char* const kUserPosition = "varnoUserPosition";

}  // namespace

Canvas::Canvas(const Surface& surface, QWidget* parent) : QFrame(parent), surface_(surface) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, Qt::white);
  setPalette(colours);
  setMouseTracking(true);
}

QTransform userToPixels(const Surface& surface, const QRectF& area) {
  const double sx = area.width() / (surface.scaleRight() - surface.scaleLeft());
  const double sy = area.height() / (surface.scaleBottom() - surface.scaleTop());
  return QTransform(sx, 0, 0, sy, area.left() - surface.scaleLeft() * sx,
                    area.top() - surface.scaleTop() * sy);
}

double surfaceGrowth(const QRectF& area) {
  return std::min(area.width() * kTwipsPerPixel / kSurfaceDesignWidth,
                  area.height() * kTwipsPerPixel / kSurfaceDesignHeight);
}

QFont textFont(const Primitive& text, const QRectF& area, const QFont& base, double points) {
  QFont font = base;
  font.setPointSizeF((text.fontSize > 0 ? text.fontSize : base.pointSizeF()) * surfaceGrowth(area) * points);
  return font;
}

double markerDiameter(const QRectF& area) {
  constexpr double kDesigned = 16;  // pixels, the marker's 240 twips
  return kDesigned * std::min(1.0, surfaceGrowth(area));
}

void paintPrimitives(QPainter& painter, const Surface& surface, const QRectF& area, const QFont& base,
                     double points) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(area);
  const QTransform map = userToPixels(surface, area);
  for (const Primitive& p : surface.primitives()) {
    const QPointF a = map.map(QPointF(p.x1, p.y1));
    switch (p.kind) {
      case Primitive::Kind::Line: {
        QPen pen(toQColor(p.color), p.penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawLine(a, map.map(QPointF(p.x2, p.y2)));
        break;
      }
      case Primitive::Kind::Box:
        painter.fillRect(QRectF(a, map.map(QPointF(p.x2, p.y2))).normalized(), toQColor(p.color));
        break;
      case Primitive::Kind::Text: {
        painter.setFont(textFont(p, area, base, points));
        painter.setPen(toQColor(p.color));
        painter.drawText(QRectF(a, QSizeF(1000, 200)), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(p.text));
        break;
      }
    }
  }
}

void paintMarker(QPainter& painter, QPointF centre, double diameter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 0, 0));
  const double r = diameter / 2 - 1;
  painter.drawEllipse(centre, r, r);
}

QTransform Canvas::transform() const {
  return userToPixels(surface_, contentsRect());
}

void Canvas::placeAt(QWidget* child, QPointF user) {
  child->setProperty(kUserPosition, user);
  child->move(transform().map(user).toPoint());
}

void Canvas::refresh() {
  if (painted_ != surface_.revision()) update();
}

void Canvas::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  for (QObject* object : children()) {
    auto* child = qobject_cast<QWidget*>(object);
    const QVariant user = child ? child->property(kUserPosition) : QVariant();
    if (user.isValid()) child->move(transform().map(user.toPointF()).toPoint());
  }
}

void Canvas::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  painted_ = surface_.revision();
  QPainter painter(this);
  paintPrimitives(painter, surface_, contentsRect(), font());
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
  QFrame::mouseMoveEvent(event);
  // Over the bare surface only: the controls on it take their own movements.
  if (onMouseMove && !childAt(event->position().toPoint())) onMouseMove();
}

Marker::Marker(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFixedSize(16, 16);
  setCursor(Qt::PointingHandCursor);
}

void Marker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const auto* canvas = dynamic_cast<const Canvas*>(parentWidget());
  paintMarker(painter, QRectF(rect()).center(), canvas ? markerDiameter(canvas->contentsRect()) : width());
}

void Marker::mousePressEvent(QMouseEvent* event) {
  const int button = event->button() == Qt::LeftButton     ? 1
                     : event->button() == Qt::RightButton  ? 2
                     : event->button() == Qt::MiddleButton ? 4
                                                           : 0;
  if (button && onMouseDown) onMouseDown(button);
}

void Marker::mouseMoveEvent(QMouseEvent*) {
  if (onMouseMove) onMouseMove();
}

}  // namespace varno
