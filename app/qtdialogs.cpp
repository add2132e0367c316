#include "qtdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace varno {

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
  QFileDialog dialog(parent_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Always in the given folder (the working directory): a preset name that came with a folder of its
  // own shows only its name.
  dialog.setDirectory(directory.empty() ? QDir::homePath() : QString::fromStdString(directory));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QString name = QFileInfo(QString::fromStdString(fileName)).fileName();
  if (kind == FileKind::Picture) {
    dialog.setNameFilters({"Bilder (*.png *.svg)", "PNG-Bild (*.png)", "SVG-Graphik (*.svg)"});
  } else if (save) {
    dialog.setNameFilters({"Ringdateien (*.vrf *.sdk)", "Alle Dateien (*)"});
  } else {
    // A preset name with a wildcard lists the matching files.
    dialog.setNameFilters({name.contains('*') ? QString("Ringdateien (%1)").arg(name) : "Ringdateien (*.vrf)",
                           "Alle Dateien (*)"});
  }
  if (auto* field = dialog.findChild<QLineEdit*>("fileNameEdit")) field->setText(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace varno
