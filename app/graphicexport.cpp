#include "graphicexport.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <filesystem>

#include "canvas.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "window/ringtext.h"
#include "window/safesave.h"

namespace varno {

namespace {

constexpr int kPrintWidth = 2400;          // pixels of a PNG
constexpr int kPrintDotsPerMetre = 11811;  // 300 dots per inch
constexpr double kMarkerDiameter = 16;     // pixels on the screen

// Paints the surface at its size on the screen (`size`, in pixels): primitives, then the markers.
void paintSurface(QPainter& painter, const Form& form, QSizeF size) {
  const QRectF area(QPointF(0, 0), size);
  painter.fillRect(area, Qt::white);
  paintPrimitives(painter, form.ausgabe, area, QApplication::font());
  const QTransform map = userToPixels(form.ausgabe, area);
  const double w = markerWidth(form), h = markerHeight(form);
  for (const Control& marker : form.shpkreis) {
    if (!marker.visible()) continue;
    const Geometry& g = marker.geometry();
    paintMarker(painter, map.map(QPointF(g.left - w / 2, g.top - h / 2)), kMarkerDiameter);
  }
}

}  // namespace

QByteArray graphicPicture(const Form& form, bool svg, QSizeF size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (svg) {
    QSvgGenerator picture;
    picture.setOutputDevice(&buffer);
    picture.setSize(size.toSize());
    picture.setViewBox(QRectF(QPointF(0, 0), size));
    picture.setTitle("Varno-Ring");
    picture.setDescription(QString::fromStdString(ringText(form)));
    QPainter painter(&picture);
    paintSurface(painter, form, size);
  } else {
    const double scale = kPrintWidth / size.width();
    QImage picture((size * scale).toSize(), QImage::Format_RGB32);
    picture.setDotsPerMeterX(kPrintDotsPerMetre);
    picture.setDotsPerMeterY(kPrintDotsPerMetre);
    {
      QPainter painter(&picture);
      painter.scale(scale, scale);
      paintSurface(painter, form, size);
    }
    picture.save(&buffer, "PNG");
  }
  return bytes;
}

void exportGraphic(Form& form, QSizeF size) {
  if (!form.dialogs) return;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  const std::optional<std::string> chosen = form.dialogs->fileDialog(
      true, error ? std::string() : folder.string(), "Varno-Ring.png", FileKind::Picture);
  if (!chosen || chosen->empty()) return;
  QString path = QString::fromStdString(*chosen);
  const bool svg = path.endsWith(".svg", Qt::CaseInsensitive);
  if (!svg && !path.endsWith(".png", Qt::CaseInsensitive)) path += ".png";
  const QByteArray picture = graphicPicture(form, svg, size);
  if (picture.isEmpty() || !saveFileSafely(path.toStdString(), picture.toStdString()))
    form.dialogs->messageBox("Exportieren abgebrochen!\r\n\r\nDie Datei kann nicht geschrieben werden.",
                             kStopSign, "Ausgabeproblem");
}

}  // namespace varno
