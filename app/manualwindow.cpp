#include "manualwindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

// The manual is a resource of the view's library, which the program links statically. (Outside every
// namespace, as the resource's own functions are.)
static void loadManualResource() {
  Q_INIT_RESOURCE(manual);
}

namespace varno {

ManualWindow::ManualWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  loadManualResource();
  setObjectName("frmManual");
  setWindowTitle("Handbuch");
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("txtManual");
  browser_->setOpenExternalLinks(false);
  browser_->setSource(QUrl("qrc:/manual/manual.html"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  // A page of text beside the main window, never larger than the screen.
  const QRect screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::min(760, screen.width()), std::min(900, screen.height() * 9 / 10));
}

}  // namespace varno
