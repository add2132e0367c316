// The toolkit's own dialogs as the window shows them, in German: run for real, headless, and answered by
// a timer; the file dialog in folders of the test's own, where no file may hold it up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "qtdialogs.h"

inline void PrintTo(const QStringList& names, std::ostream* out) {
  *out << '"' << names.join("\", \"").toStdString() << '"';
}

namespace varno {
namespace {

// Runs `look` on the dialog once it is on show; `look` closes it.
void whenShown(const std::function<void(QWidget*)>& look) {
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

// The file dialog in folders of the test's own, with Qt's memory of earlier dialogs in a folder of its own.
class FileDialog : public ::testing::Test {
 protected:
  FileDialog() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, memory.path());
    QFile ring(work.filePath("ring.vrf"));
    EXPECT_TRUE(ring.open(QIODevice::WriteOnly) && ring.write("3\r\n") > 0);
  }

  // Lets the dialog show a folder until it lists the given number of files in it. The dialog lists the
  // folders it is sent to one after the other, so any folder it was sent to before is done with then.
  static void waitUntilShown(QWidget* dialog, const QString& folder, int files) {
    QFileSystemModel* model = dialog->findChild<QFileSystemModel*>();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) == files; }, 60000))
        << folder.toStdString();
  }

  QTemporaryDir memory, work;
};

// A folder the test watches: which of its files are opened, and when it is listed itself (".").
class Watched {
 public:
  explicit Watched(const QString& folder) : watch_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(inotify_add_watch(watch_, QFile::encodeName(folder).constData(), IN_OPEN), 0);
  }
  ~Watched() { close(watch_); }
  QStringList opened() {
    QStringList names;
    alignas(inotify_event) char events[4096];
    for (ssize_t length; (length = read(watch_, events, sizeof events)) > 0;)
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        names << (event->len ? QString::fromUtf8(event->name) : QString("."));
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    return names;
  }

 private:
  int watch_;
};

TEST_F(FileDialog, OpensInTheGivenFolderWithThePresetNameAndReadsNoFileOfAnyFolderItShows) {
  // A folder with a named pipe, a link to a device and a file of no known kind: reading a pipe waits for
  // a writer, and reading a file like /proc/kmsg waits for the kernel's next message. This pipe is held
  // open at both ends with a byte in it, so that a reader gets in at once and is seen.
  const QTemporaryDir hostile;
  const QByteArray pipe = QFile::encodeName(hostile.filePath("rohr"));
  ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
  const int bothEnds = open(pipe.constData(), O_RDWR | O_NONBLOCK);
  ASSERT_TRUE(bothEnds >= 0 && write(bothEnds, "x", 1) == 1);
  ASSERT_TRUE(QFile::link("/dev/null", hostile.filePath("gerät")));
  QFile kmsg(hostile.filePath("kmsg"));
  ASSERT_TRUE(kmsg.open(QIODevice::WriteOnly) && kmsg.write("<6>Nachricht\n") > 0);
  kmsg.close();
  // An earlier run's dialog was last in that folder.
  QSettings earlier(QSettings::UserScope, "QtProject");
  earlier.setValue("FileDialog/lastVisited", QUrl::fromLocalFile(hostile.path()).toString());
  earlier.setValue("FileDialog/history", QStringList{QUrl::fromLocalFile(hostile.path()).toString()});
  earlier.sync();

  Watched watched(hostile.path());
  QWidget parent;
  QtDialogs dialogs(&parent);
  // Saving or loading, the preset name, the name shown, the first filter. In the first dialog the user
  // goes to that folder; every later one of the same run opens where it is sent, and only there.
  const std::tuple<bool, std::string, FileKind, QString, QString> rows[] = {
      {true, "/somewhere/else/ring.vrf", FileKind::Ring, "ring.vrf", "Ringdateien (*.vrf *.sdk)"},
      {false, "*vrf", FileKind::Ring, "*vrf", "Ringdateien (*vrf)"},
      {true, "*vrf", FileKind::Ring, "*vrf", "Ringdateien (*.vrf *.sdk)"},
      {true, "Varno-Ring.png", FileKind::Picture, "Varno-Ring.png", "Bilder (*.png *.svg *.pdf)"},
  };
  QStringList seenThere;
  for (const auto& [save, preset, kind, name, filter] : rows) {
    QStringList seenBefore;
    whenShown([&, save = save, &name = name, &filter = filter](QWidget* shown) {
      auto* dialog = qobject_cast<QFileDialog*>(shown);
      ASSERT_NE(dialog, nullptr);
      waitUntilShown(dialog, work.path(), filter.startsWith("Ring") ? 1 : 0);
      seenBefore = watched.opened();
      EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(work.path()).canonicalPath());
      EXPECT_EQ(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), name);
      EXPECT_EQ(dialog->nameFilters().front(), filter);
      EXPECT_EQ(dialog->labelText(QFileDialog::Reject).remove('&'), "Abbrechen");
      if (seenThere.isEmpty()) {
        dialog->selectNameFilter("Alle Dateien (*)");
        dialog->setDirectory(hostile.path());
        waitUntilShown(dialog, hostile.path(), 1);  // the pipe and the device are not listed
        seenThere = watched.opened();
      }
      dialog->reject();
    });
    EXPECT_EQ(dialogs.fileDialog(save, work.path().toStdString(), preset, kind), std::nullopt);
    EXPECT_EQ(seenBefore, QStringList()) << preset << ": went to a folder the user had been in earlier";
  }
  EXPECT_EQ(seenThere, QStringList{"."}) << "read a file to name its type";
  close(bothEnds);
}

}  // namespace
}  // namespace varno
