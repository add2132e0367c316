// The toolkit's own dialogs as the window shows them, in German: run for real, headless, and answered by
// a timer.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "qtdialogs.h"

namespace varno {
namespace {

// Runs `look` on the dialog once it is on show; `look` closes it.
void whenShown(std::function<void(QWidget*)> look) {
  QTimer::singleShot(0, [look] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    look(dialog);
  });
}

TEST(QtDialogs, MessageBoxesShowTheSignAndButtonsOfTheirStyle) {
  QWidget parent;
  QtDialogs dialogs(&parent);
  // A style, the sign and buttons it shows, the button pressed and the answer.
  const std::tuple<int, QMessageBox::Icon, QStringList, QMessageBox::StandardButton, int> rows[] = {
      {kOkOnly, QMessageBox::NoIcon, {"OK"}, QMessageBox::Ok, kOk},
      {kStopSign, QMessageBox::Critical, {"OK"}, QMessageBox::Ok, kOk},
      {kInformation, QMessageBox::Information, {"OK"}, QMessageBox::Ok, kOk},
      {kQuestionYesNo, QMessageBox::Question, {"Ja", "Nein"}, QMessageBox::No, kNo},
      {kQuestionYesNo, QMessageBox::Question, {"Ja", "Nein"}, QMessageBox::Yes, kYes},
  };
  for (const auto& [style, icon, buttons, pressed, result] : rows) {
    whenShown([&, style = style, icon = icon, &buttons = buttons, pressed = pressed](QWidget* shown) {
      auto* box = qobject_cast<QMessageBox*>(shown);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->icon(), icon) << style;
      QStringList texts;
      for (QAbstractButton* button : box->buttons()) texts << button->text().remove('&');
      texts.sort();
      EXPECT_EQ(texts, buttons) << style;
      EXPECT_EQ(box->windowTitle(), "Titel");
      EXPECT_EQ(box->text(), "erste Zeile\nzweite Zeile");
      box->button(pressed)->click();
    });
    EXPECT_EQ(dialogs.messageBox("erste Zeile\r\nzweite Zeile", style, "Titel"), result);
  }
}

TEST(QtDialogs, TheFileDialogOpensInTheGivenFolderWithThePresetName) {
  QWidget parent;
  QtDialogs dialogs(&parent);
  const QString folder = QDir::tempPath();
  // Saving or loading, the preset name, the name shown, the first filter.
  const std::tuple<bool, std::string, QString, QString> rows[] = {
      {false, "*vrf", "*vrf", "Ringdateien (*vrf)"},
      {true, "*vrf", "*vrf", "Ringdateien (*.vrf *.sdk)"},
      {true, "/somewhere/else/ring.vrf", "ring.vrf", "Ringdateien (*.vrf *.sdk)"},
  };
  for (const auto& [save, preset, name, filter] : rows) {
    whenShown([&, save = save, &preset = preset, &name = name, &filter = filter](QWidget* shown) {
      auto* dialog = qobject_cast<QFileDialog*>(shown);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(folder).canonicalPath());
      EXPECT_EQ(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), name) << preset;
      EXPECT_EQ(dialog->nameFilters().front(), filter);
      EXPECT_TRUE(dialog->labelText(QFileDialog::FileName).contains("Datei"));
      EXPECT_EQ(dialog->labelText(QFileDialog::Reject).remove('&'), "Abbrechen");
      dialog->reject();
    });
    EXPECT_EQ(dialogs.fileDialog(save, folder.toStdString(), preset), std::nullopt);
  }
}

}  // namespace
}  // namespace varno
