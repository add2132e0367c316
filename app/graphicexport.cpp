#include "graphicexport.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <filesystem>

#include "canvas.h"
#include "form/form.h"
#include "graphic/drawing.h"
#include "window/ringtext.h"
#include "window/safesave.h"

namespace varno {

namespace {

constexpr int kPrintWidth = 2400;       // pixels of a PNG
constexpr int kPrintDotsPerInch = 300;  // of a PNG; a PDF page is as wide as that PNG printed
constexpr double kMetresPerInch = 0.0254;

// Paints the graphic as `canvas` shows it, stretched into `target` of the painter's device.
void paintGraphic(QPainter& painter, const Form& form, const Canvas& canvas, const QRectF& target) {
  const QSizeF screen = canvas.contentsRect().size();
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / screen.width(), target.height() / screen.height());
  const QRectF area(QPointF(0, 0), screen);
  painter.fillRect(area, Qt::white);
  // Texts in points: the device turns points into its own pixels, which the scale above enlarges once
  // more; at the screen's resolution they come out as large as on the screen.
  const double points = canvas.logicalDpiY() / static_cast<double>(painter.device()->logicalDpiY());
  paintPrimitives(painter, form.ausgabe, area, canvas.font(), points);
  const QTransform map = userToPixels(form.ausgabe, area);
  const double w = markerWidth(form), h = markerHeight(form);
  for (const Control& marker : form.shpkreis) {
    if (!marker.visible()) continue;
    const Geometry& g = marker.geometry();
    paintMarker(painter, map.map(QPointF(g.left - w / 2, g.top - h / 2)), markerDiameter(area));
  }
  painter.restore();
}

}  // namespace

PictureKind pictureKind(const QString& fileName) {
  if (fileName.endsWith(".svg", Qt::CaseInsensitive)) return PictureKind::Svg;
  if (fileName.endsWith(".pdf", Qt::CaseInsensitive)) return PictureKind::Pdf;
  return PictureKind::Png;
}

QByteArray graphicPicture(const Form& form, PictureKind kind, const Canvas& canvas) {
  const QSizeF screen = canvas.contentsRect().size();
  const QSizeF print(kPrintWidth, kPrintWidth * screen.height() / screen.width());
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QString title = "Varno-Ring", ring = QString::fromStdString(ringText(form));
  switch (kind) {
    case PictureKind::Svg: {
      QSvgGenerator picture;
      picture.setOutputDevice(&buffer);
      picture.setSize(screen.toSize());
      picture.setViewBox(QRectF(QPointF(0, 0), screen));
      picture.setTitle(title);
      picture.setDescription(ring);
      QPainter painter(&picture);
      paintGraphic(painter, form, canvas, QRectF(QPointF(0, 0), screen));
      break;
    }
    case PictureKind::Pdf: {
      QPdfWriter picture(&buffer);
      picture.setTitle(title);
      picture.setCreator("Varno: " + ring);
      picture.setPageMargins(QMarginsF(0, 0, 0, 0));
      picture.setPageSize(
          QPageSize(print / kPrintDotsPerInch, QPageSize::Inch, title, QPageSize::ExactMatch));
      QPainter painter(&picture);
      paintGraphic(painter, form, canvas, QRectF(0, 0, picture.width(), picture.height()));
      break;
    }
    case PictureKind::Png: {
      QImage picture(print.toSize(), QImage::Format_RGB32);
      const int dotsPerMetre = static_cast<int>(std::lround(kPrintDotsPerInch / kMetresPerInch));
      picture.setDotsPerMeterX(dotsPerMetre);
      picture.setDotsPerMeterY(dotsPerMetre);
      {
        QPainter painter(&picture);
        paintGraphic(painter, form, canvas, QRectF(QPointF(0, 0), print));
      }
      picture.save(&buffer, "PNG");
      break;
    }
  }
  return bytes;
}

void exportGraphic(Form& form, const Canvas& canvas) {
  if (!form.dialogs) return;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  const std::optional<std::string> chosen = form.dialogs->fileDialog(
      true, error ? std::string() : folder.string(), "Varno-Ring.png", FileKind::Picture);
  if (!chosen || chosen->empty()) return;
  QString path = QString::fromStdString(*chosen);
  const PictureKind kind = pictureKind(path);
  if (kind == PictureKind::Png && !path.endsWith(".png", Qt::CaseInsensitive)) path += ".png";
  const QByteArray picture = graphicPicture(form, kind, canvas);
  if (picture.isEmpty() || !saveFileSafely(path.toStdString(), picture.toStdString()))
    form.dialogs->messageBox("Exportieren abgebrochen!\r\n\r\nDie Datei kann nicht geschrieben werden.",
                             kStopSign, "Ausgabeproblem");
}

void printGraphic(Form& form, const Canvas& canvas) {
  if (!form.dialogs) return;
  Printer printer(QPrinter::HighResolution);
  printer.setDocName("Varno-Ring");
  if (!form.dialogs->printDialog(printer)) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    form.dialogs->messageBox("Drucken abgebrochen!\r\n\r\nDer Drucker nimmt die Graphik nicht an.", kStopSign,
                             "Ausgabeproblem");
    return;
  }
  // As large as the printable part of the page allows, at its top and in its middle.
  const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
  const QSizeF screen = canvas.contentsRect().size();
  const QSizeF size = screen.scaled(page.size(), Qt::KeepAspectRatio);
  paintGraphic(painter, form, canvas, QRectF(QPointF((page.width() - size.width()) / 2, 0), size));
}

}  // namespace varno
