#include "qtdialogs.h"

#include "graphicexport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QSettings>
#include <QUrl>

namespace varno {

namespace {

// The type and the icon of a file, from its name alone. Qt's own provider guesses a file's type from its
// first bytes, on the window's thread: a file whose reading waits for data that may never come (such as
// /proc/kmsg, or a device behind a link) would hang the window as soon as its folder is shown.
class TypeByName : public QFileIconProvider {
 public:
  QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
  QIcon icon(const QFileInfo& info) const override {
    if (info.isRoot()) return QFileIconProvider::icon(Drive);
    if (info.isDir()) return QFileIconProvider::icon(Folder);
    const QMimeType type = byName(info);
    return QIcon::fromTheme(type.iconName(),
                            QIcon::fromTheme(type.genericIconName(), QFileIconProvider::icon(File)));
  }
  QString type(const QFileInfo& info) const override {
    // Folders, drives, pipes and devices are named without reading them.
    if (!info.isFile()) return QFileIconProvider::type(info);
    const QMimeType type = byName(info);
    return type.comment().isEmpty() ? type.name() : type.comment();
  }

 private:
  static QMimeType byName(const QFileInfo& info) {
    return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
  }
};

// Qt's file dialog opens in the folder it remembers (from this run, or from Qt's settings of an earlier
// one) before it is sent anywhere else. Its memory is set to the folder it is meant to open in, so that
// no folder visited earlier is ever read again unasked.
void rememberOnly(const QString& folder) {
  QSettings settings(QSettings::UserScope, "QtProject");
  settings.beginGroup("FileDialog");
  const QString url = QUrl::fromLocalFile(folder).toString();
  if (settings.value("lastVisited").toString() != url) settings.setValue("lastVisited", url);
}

}  // namespace

int QtDialogs::messageBox(const std::string& prompt, int style, const std::string& title) {
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(prompt).replace("\r\n", "\n"));
  box.setTextFormat(Qt::PlainText);
  switch (style) {
    case kStopSign:
      box.setIcon(QMessageBox::Critical);
      break;
    case kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case kQuestionYesNo:
      box.setIcon(QMessageBox::Question);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
  }
  if (style == kQuestionYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int answer = box.exec();
  return answer == QMessageBox::Yes ? kYes : answer == QMessageBox::No ? kNo : kOk;
}

std::optional<std::string> QtDialogs::fileDialog(bool save, const std::string& directory,
                                                 const std::string& fileName, FileKind kind) {
  // Always in the given folder (the working directory): a preset name that came with a folder of its
  // own shows only its name.
  const QString folder = directory.empty() ? QDir::homePath() : QString::fromStdString(directory);
  rememberOnly(folder);
  TypeByName types;  // outlives the dialog
  QFileDialog dialog(parent_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Before the dialog first looks into a folder, which it does once the event loop runs.
  dialog.setIconProvider(&types);
  dialog.setDirectory(folder);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QString name = QFileInfo(QString::fromStdString(fileName)).fileName();
  if (kind == FileKind::Picture) {
    dialog.setNameFilters(
        {"Bilder (*.png *.svg *.pdf)", "PNG-Bild (*.png)", "SVG-Graphik (*.svg)", "PDF-Dokument (*.pdf)"});
  } else if (save) {
    dialog.setNameFilters({"Ringdateien (*.vrf *.sdk)", "Alle Dateien (*)"});
  } else {
    // A preset name with a wildcard lists the matching files.
    dialog.setNameFilters({name.contains('*') ? QString("Ringdateien (%1)").arg(name) : "Ringdateien (*.vrf)",
                           "Alle Dateien (*)"});
  }
  if (auto* field = dialog.findChild<QLineEdit*>("fileNameEdit")) field->setText(name);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  const QString path = chosen ? dialog.selectedFiles().front() : QString();
  // Whatever folder the user went to, the next dialog of this run starts where it is sent.
  dialog.setDirectory(folder);
  if (!chosen) return std::nullopt;
  return path.toStdString();
}

bool QtDialogs::printDialog(Printer& printer) {
  QPrintDialog dialog(&printer, parent_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace varno
