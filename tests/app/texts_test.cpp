// The window's German texts: captions, tool tips, menus, messages and the manual; the toolkit's dialogs run
// for real, answered by a timer, the file dialog in folders of its own, where no file may hold it up.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "qtdialogs.h"
#include "windowfixture.h"

namespace varno {
namespace {

using Texts = WindowTest;

TEST_F(Texts, EveryCaptionAndTooltipOfTheWindowAndTheManualExplainingEach) {
  // Name, caption (none for a picture box) and tool tip.
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"Frame2", "Parameter, Eingabe", ""},
      {"Label2(0)", "Anzahl der Würfel", ""},
      {"Label2(1)", "Anzahl der Seiten", ""},
      {"Label1(0)", "P(n. schlägt n+1.)", ""},
      {"Label1(1)", "Summe", ""},
      {"Label1(2)", "Augen", ""},
      {"Label1(3)", "unentschieden", ""},
      {"Command1", "X", "leeres Set"},
      {"cmdZeigen(0)", "Gr", "Graphik zeigen"},
      {"cmdZeigen(1)", "Gr", "Graphik zeigen"},
      {"Label3", "Interaktive Graphik: linke Maustaste \"+1\", rechte Maustaste \"-1\"", ""},
      {"cmdSpiegeln", "umdrehen", ""},
      {"Label5(0)", "Varno-Ring?", ""},
      {"Label5(1)", "Max(P)", ""},
      {"Label5(2)", "Min(P)", ""},
      {"Label6(0)", "Gesamt", ""},
      {"Label6(2)", "Treffer", ""},
      {"Command9", "x", "Zähler auf \"0\" setzen"},
      {"Text4", "Rechnung läuft!", ""},
      {"cmdStop", "", "Prozeß abbrechen"},
      {"Label4", "Beschriftungsgerät", ""},
      {"Command3", "", "letzte Ziffer löschen"},
      {"Command4", "X", "ausblenden"},
      {"Picture1(3)", "", "Max. für schwächste Stelle"}};
  // A label's, a button's or a field's text, a frame's title.
  const auto caption = [](QWidget* widget) {
    return widget->property(widget->inherits("QGroupBox") ? "title" : "text").toString();
  };
  for (const auto& [name, shown, toolTip] : rows) {
    EXPECT_EQ(caption(find(name)), shown) << name;
    EXPECT_EQ(find(name)->toolTip(), toolTip) << name;
  }
  for (int d = 0; d < kDice; ++d) {
    EXPECT_EQ(caption(window.widget(form.frmWürfel[d])), "W" + QString::number(d + 1));
    EXPECT_EQ(window.widget(form.frmWürfel[d])->toolTip(), "Zum Beschriften anklicken");
    EXPECT_EQ(caption(window.widget(form.cmdLösch[d])), "x");
  }
  for (int digit = 0; digit <= 9; ++digit)
    EXPECT_EQ(caption(window.widget(form.cmdZahl[digit])), QString::number(digit));
  for (Control& face : form.txtAuge) EXPECT_EQ(window.widget(face)->toolTip(), "Zum Beschriften anklicken");
  EXPECT_EQ(window.windowTitle(), "(n,k)-Varno-Würfel-Ringe");
  EXPECT_FALSE(window.windowIcon().pixmap(16, 16).isNull());
  // "Handbuch" explains every caption and tool tip of the window and every menu item (the dice all alike).
  choose("cmdHelp");
  const QString manual = find<QTextBrowser>("txtManual")->toPlainText();
  for (const Control* control : form.controls()) {
    if (control->name().starts_with("frmWürfel(")) continue;
    const bool captioned =
        (control->kind() != ControlKind::TextBox && control->kind() != ControlKind::PictureBox) ||
        control == &form.Text4;
    for (const std::string& shown : {captioned ? control->text() : std::string(), control->toolTip()})
      EXPECT_TRUE(manual.contains(QString::fromStdString(shown))) << control->name() << ": " << shown;
  }
}

TEST_F(Texts, TheMenuBarFromLeftToRightAndItsMenusWithTheirKeysAsTheGermanDesktopWritesThem) {
  QStringList bar;
  for (QAction* item : window.menuBar()->actions()) bar << item->text();
  EXPECT_EQ(bar, (QStringList{"Datei", "Beispiele", "Zufalls-Set", "MonteCarlo", "Kombinatorik",
                              "Information", "Extras"}));
  // Every item with the key it shows beside it, whatever the locale the program runs in.
  const std::pair<const char*, QStringList> menus[] = {
      {"cmdDatei", {"speichern\tStrg+S", "laden\tStrg+O", "beenden\tStrg+Q"}},
      {"cmdBeispiele", {"Varnos Beispiel", "Minimalstruktur", "zyklisch 5x5", "bester 4x4"}},
      {"cmdMonteCarlo", {"3x3", "3x4", "3x5", "3x6", "4x3", "4x4", "Informationen zum Algorithmus"}},
      {"cmdKombinatorik", {"alle Belegungen zählen", "zählen und zeigen", "Informationen zur Zählweise"}},
      {"cmdExtras",
       {"Gewinnmatrix", "stärksten Ring zeigen", "Verteilung der schwächsten Stelle", "Graphik exportieren …",
        "Graphik drucken …\tStrg+P", "Ring kopieren\tStrg+C", "Ring einfügen\tStrg+V", "Rückgängig\tStrg+Z",
        "Wiederholen\tStrg+Umschalt+Z", "Handbuch\tF1"}},
  };
  for (const auto& [name, expected] : menus) {
    QStringList items;
    for (const QAction* item : find<QMenu>(name)->actions()) {
      const QString key = item->shortcut().toString(QKeySequence::NativeText);
      items << (key.isEmpty() ? item->text() : item->text() + "\t" + key);
    }
    EXPECT_EQ(items, expected) << name;
  }
}

// A text in outline: how many lines it has, the first and the last that is not blank, and its length in
// bytes, which any word or line break put in or left out changes.
std::string outline(const std::string& text) {
  QStringList lines = QString::fromStdString(text).split("\r\n");
  const std::string count = std::to_string(lines.size()) + " lines: ";
  while (lines.back().isEmpty()) lines.removeLast();
  return count + lines.front().toStdString() + " ... " + lines.back().toStdString() + " (" +
         std::to_string(text.size()) + " bytes)";
}

// The first movement over the background, the ring tables' box or the surface greets once and shows the
// pad; the welcome and the boxes of the menu "Information", line by line.
TEST_F(Texts, TheWelcomeAtTheFirstMovementOverTheWindowAndTheInformationBoxesLineByLine) {
  const std::tuple<QWidget*, QPoint, bool> areas[] = {{find("Text3(0)"), {3, 3}, false},
                                                      {window.menuBar(), {3, 3}, false},
                                                      {find("frmVarno.client"), {2, 2}, true},
                                                      {find("frame1"), {3, 30}, true},
                                                      {find("picAusgabe"), {6, 6}, true}};
  for (const auto& [area, at, greets] : areas) {
    form.Begrüßung = true;
    window.run([&] { form.picEingabe.setVisible(false); });
    dialogs.messages.clear();
    moveMouse(area, at);
    moveMouse(area, at + QPoint(1, 1));
    EXPECT_EQ(dialogs.messages.size(), greets ? 1u : 0u) << area->objectName().toStdString();
    EXPECT_EQ(seen("picEingabe"), greets) << area->objectName().toStdString();
  }
  for (const char* item : {"cmdInfo", "cmdInfoAlg", "cmdInfoZähl"}) choose(item);
  // The title, the style and the outline of each message, in the order shown.
  const std::tuple<const char*, int, const char*> boxes[] = {
      {"Willkommen", kInformation,
       "9 lines: Dieser (3,3)-Varno-Würfel-Ring wurde mit Hilfe der ... aber auch einfach 'per Hand' "
       "beschriftet werden. (259 bytes)"},
      {"Programmiert von", kOkOnly, "1 lines: dem Varno-Team, 2026 ... dem Varno-Team, 2026 (20 bytes)"},
      {"Zur Monte-Carlo-Methode:", kInformation,
       "20 lines: Die Würfelseiten werden mit den Zufallszahlen von ... genullt werden. (Befehlsschaltfläche "
       "rechts daneben) (651 bytes)"},
      {"Zur Äquivalenzklassenbildung:", kInformation,
       "26 lines: Nur die Varnoringe 'rechtsrum' werden gezählt. ... oben rechts abgebrochen werden. (901 "
       "bytes)"},
  };
  ASSERT_EQ(dialogs.messages.size(), std::size(boxes));
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    const auto& [title, style, text] = boxes[i];
    EXPECT_EQ(dialogs.messages[i].title, title);
    EXPECT_EQ(dialogs.messages[i].style, style) << title;
    EXPECT_EQ(outline(dialogs.messages[i].prompt), text);
  }
}

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
      EXPECT_EQ(box->windowTitle() + ": " + box->text(), "Titel: erste Zeile\nzweite Zeile");
      box->button(pressed)->click();
    });
    EXPECT_EQ(dialogs.messageBox("erste Zeile\r\nzweite Zeile", style, "Titel"), result);
  }
}

// Lets the dialog show a folder until it lists the given number of files in it. The dialog lists the
// folders it is sent to one after the other, so any folder it was sent to before is done with then.
void waitUntilShown(QWidget* dialog, const QString& folder, int files) {
  QFileSystemModel* model = dialog->findChild<QFileSystemModel*>();
  EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) == files; }, 60000))
      << folder.toStdString();
}

// The names of the files opened in a watched folder since the last look, "." for the folder itself.
QStringList opened(int watch) {
  QStringList names;
  alignas(inotify_event) char events[4096];
  for (ssize_t length; (length = read(watch, events, sizeof events)) > 0;)
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      names << (event->len ? QString::fromUtf8(event->name) : QString("."));
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  return names;
}

TEST(FileDialog, OpensInTheGivenFolderWithThePresetNameAndReadsNoFileOfAnyFolderItShows) {
  // Qt's memory of earlier dialogs in a folder of its own; the folder the dialogs are sent to holds a ring.
  const QTemporaryDir memory, work, hostile;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, memory.path());
  QFile ring(work.filePath("ring.vrf"));
  ASSERT_TRUE(ring.open(QIODevice::WriteOnly) && ring.write("3\r\n") > 0);
  ring.close();
  // A folder with a named pipe, a link to a device and a file of no known kind: reading a pipe waits for
  // a writer, and reading a file like /proc/kmsg waits for the kernel's next message. This pipe is held
  // open at both ends with a byte in it, so that a reader gets in at once and is seen.
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

  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(hostile.path()).constData(), IN_OPEN), 0);
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
      seenBefore = opened(watch);
      EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(work.path()).canonicalPath());
      EXPECT_EQ(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), name);
      EXPECT_EQ(dialog->nameFilters().front(), filter);
      if (seenThere.isEmpty()) {
        dialog->selectNameFilter("Alle Dateien (*)");
        dialog->setDirectory(hostile.path());
        waitUntilShown(dialog, hostile.path(), 1);  // the pipe and the device are not listed
        seenThere = opened(watch);
      }
      dialog->reject();
    });
    EXPECT_EQ(dialogs.fileDialog(save, work.path().toStdString(), preset, kind), std::nullopt);
    EXPECT_EQ(seenBefore, QStringList()) << preset << ": went to a folder the user had been in earlier";
  }
  EXPECT_EQ(seenThere, QStringList{"."}) << "read a file to name its type";
  close(watch);
  close(bothEnds);
}

}  // namespace
}  // namespace varno
