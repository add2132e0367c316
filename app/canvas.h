// The drawing surface: keeps the form's list of primitives and paints it with one transform from the
// surface's user coordinates, so the drawing survives covering, resizing and high-density screens.
// Child widgets placed in user coordinates (the face markers, the value label) are re-placed when the
// surface changes size.
#pragma once

#include <QFrame>
#include <QPainter>
#include <QPointF>
#include <QTransform>
#include <cstdint>
#include <functional>

#include "form/surface.h"

namespace varno {

// The transform from a surface's user coordinates to the pixels of `area`.
QTransform userToPixels(const Surface& surface, const QRectF& area);
// How much larger or smaller `area` is than the drawing surface as designed (4900 x 5600 twips): the
// smaller of its width's and its height's factor, as the window's fonts follow the screen.
double surfaceGrowth(const QRectF& area);
// The font of a text primitive painted into `area`: its size in points (or that of `base` where the
// primitive has none) is the size on the surface as designed, grown or shrunk with `area`; times `points`.
QFont textFont(const Primitive& text, const QRectF& area, const QFont& base, double points = 1);
// The diameter of the face markers' discs on a surface painted into `area`: 16 pixels, and smaller on a
// surface smaller than designed (a small screen at a large scale), with the texts, so that the labels
// keep clear of them.
double markerDiameter(const QRectF& area);
// Paints the primitives of a surface into `area`: what the canvas shows, and what an export writes.
void paintPrimitives(QPainter& painter, const Surface& surface, const QRectF& area, const QFont& base,
                     double points = 1);
// Paints a face marker, a bright red disc, of `diameter` pixels centred on `centre`.
void paintMarker(QPainter& painter, QPointF centre, double diameter);

class Canvas : public QFrame {
 public:
  explicit Canvas(const Surface& surface, QWidget* parent = nullptr);

  // From user coordinates to the widget's pixels.
  QTransform transform() const;
  // Places a child with its top-left corner at a point in user coordinates, now and after resizing.
  void placeAt(QWidget* child, QPointF user);
  // Repaints when the drawing changed since the last paint.
  void refresh();

  // The mouse moved over the bare surface.
  std::function<void()> onMouseMove;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  const Surface& surface_;
  std::uint64_t painted_ = 0;
};

// A face marker: a bright red disc that takes mouse presses and hovering.
class Marker : public QWidget {
 public:
  explicit Marker(QWidget* parent = nullptr);

  std::function<void(int button)> onMouseDown;  // 1 left, 2 right, 4 middle
  std::function<void()> onMouseMove;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace varno
