#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "window/information.h"
#include "windowfixture.h"

namespace varno {
namespace {

using Texts = WindowTest;

QString u(const char* text) {
  return QString::fromUtf8(text);
}

TEST_F(Texts, EveryCaptionAndTooltipOfTheWindow) {
  struct Row {
    const char* name;
    const char* caption;
    const char* toolTip;
  };
  const Row rows[] = {
      {"Frame2", "Parameter, Eingabe", ""},
      {"Label2(0)", "Anzahl der Würfel", ""},
      {"Label2(1)", "Anzahl der Seiten", ""},
      {"frmWürfel(0)", "W1", "Zum Beschriften anklicken"},
      {"frmWürfel(7)", "W8", "Zum Beschriften anklicken"},
      {"txtAuge(0)", nullptr, "Zum Beschriften anklicken"},
      {"txtAuge(63)", nullptr, "Zum Beschriften anklicken"},
      {"cmdLösch(0)", "x", ""},
      {"cmdLösch(7)", "x", ""},
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
      {"Picture1(3)", nullptr, "Max. für schwächste Stelle"},
  };
  for (const Row& row : rows) {
    QWidget* widget = find(row.name);
    if (!widget) continue;
    if (row.caption) {
      QString caption;
      if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
      if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
      if (auto* field = qobject_cast<QLineEdit*>(widget)) caption = field->text();
      EXPECT_EQ(caption, u(row.caption)) << row.name;
    }
    EXPECT_EQ(widget->toolTip(), u(row.toolTip)) << row.name;
  }
  for (int digit = 0; digit <= 9; ++digit)
    EXPECT_EQ(find<QPushButton>(("cmdZahl(" + std::to_string(digit) + ")").c_str())->text(),
              QString::number(digit));
  EXPECT_EQ(window.windowTitle(), u("(n,k)-Varno-Würfel-Ringe"));
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_FALSE(window.windowIcon().pixmap(16, 16).isNull());
}

TEST_F(Texts, TheMenuBarFromLeftToRight) {
  QStringList bar;
  for (QAction* item : window.menuBar()->actions()) bar << item->text();
  EXPECT_EQ(bar, (QStringList{"Datei", "Beispiele", "Zufalls-Set", "MonteCarlo", "Kombinatorik",
                              "Information", "Extras"}));
  const std::pair<const char*, QStringList> menus[] = {
      {"cmdDatei", {"speichern", "laden", "beenden"}},
      {"cmdBeispiele", {"Varnos Beispiel", "Minimalstruktur", "zyklisch 5x5", "bester 4x4"}},
      {"cmdMonteCarlo", {"3x3", "3x4", "3x5", "3x6", "4x3", "4x4", "Informationen zum Algorithmus"}},
      {"cmdKombinatorik", {"alle Belegungen zählen", "zählen und zeigen", "Informationen zur Zählweise"}},
  };
  for (const auto& [name, expected] : menus) {
    auto* menu = window.findChild<QMenu*>(name);
    ASSERT_NE(menu, nullptr) << name;
    QStringList items;
    for (QAction* item : menu->actions()) {
      items << item->text();
      EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
    }
    QStringList wanted;
    for (const QString& text : expected) wanted << QString::fromUtf8(text.toUtf8());
    EXPECT_EQ(items, wanted) << name;
  }
}

TEST_F(Texts, TheInformationBoxesWordForWord) {
  window.findChild<QAction*>("cmdInfo")->trigger();
  window.findChild<QAction*>("cmdInfoAlg")->trigger();
  window.findChild<QAction*>("cmdInfoZähl")->trigger();
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[0].title, "Programmiert von");
  EXPECT_EQ(dialogs.messages[0].style, 0);
  EXPECT_EQ(dialogs.messages[0].prompt.find("\r\n"), std::string::npos);  // a single credit line

  EXPECT_EQ(dialogs.messages[1].title, "Zur Monte-Carlo-Methode:");
  EXPECT_EQ(dialogs.messages[1].style, 64);
  EXPECT_EQ(dialogs.messages[1].prompt,
            "Die Würfelseiten werden mit den Zufallszahlen von\r\n"
            "1 bis Würfelanzahl*Seitenzahl belegt.\r\n"
            "\r\n"
            "Da es nur auf die Rangfolge der Zahlen ankommt,\r\n"
            "ist das keine Einschränkung.\r\n"
            "(Gleiche Augenzahlen auf 2 Würfeln können die\r\n"
            " Gewinnwahrscheinlichkeiten nur verkleinern)\r\n"
            "\r\n"
            "Für jeden Würfel werden die Augenzahlen in sor-\r\n"
            "tierter Reihenfolge angegeben.\r\n"
            "\r\n"
            "Eine Programmschleife erzeugt solange Zufallsbele-\r\n"
            "gungen, bis ein Varno-Würfel-Ring entstanden ist.\r\n"
            "\r\n"
            "Die nötigen Schleifendurchläufe werden gezählt und \r\n"
            "oben rechts angezeigt.\r\n"
            "Der Zähler arbeitet kumulativ und kann per Hand  \r\n"
            "genullt werden. (Befehlsschaltfläche rechts daneben)\r\n"
            "\r\n");

  EXPECT_EQ(dialogs.messages[2].title, "Zur Äquivalenzklassenbildung:");
  EXPECT_EQ(dialogs.messages[2].style, 64);
  EXPECT_EQ(dialogs.messages[2].prompt,
            "Nur die Varnoringe 'rechtsrum' werden gezählt.\r\n"
            "(die anderen ergeben sich durch Spiegelung)\r\n"
            "\r\n"
            "Die '1' befindet sich stehts auf Würfel 1.\r\n"
            "(Das ist keine Einschränkung, da man 'drehen' kann.)\r\n"
            "\r\n"
            "Der Algorithmus berücksichtigt alle Beschriftungen\r\n"
            "der Würfelseiten mit den Augenzahlen von \r\n"
            "1 bis Würfelanzahl*Seitenzahl.\r\n"
            "\r\n"
            "Die Würfelseiten sind aufsteigend beschriftet.\r\n"
            "(um Äquivalentes nicht mehrfach zu zählen)\r\n"
            "\r\n"
            "Ein Würfel-Ring aus n Würfeln mit je k Seiten wird folg-\r\n"
            "lich als n-Tupel aus k-elementigen Mengen betrachtet.\r\n"
            "\r\n"
            "Mehrfachzählungen nicht wesentlich verschiedener Würfel-\r\n"
            "Ringe werden also vermieden.\r\n"
            "\r\n"
            "Die Anzahl aller solcher Beschriftungsmöglichkeiten\r\n"
            "wird im Feld Zähler.. oben rechts angezeigt.\r\n"
            "\r\n"
            "Die Rechenzeit wächst exponentiell mit n.\r\n"
            "Daher erst mit n=3 experimentieren!\r\n"
            "Die Schleife kann durch Klick auf das Stopschild\r\n"
            "oben rechts abgebrochen werden.");
}

TEST_F(Texts, TheWelcomeBoxWordForWord) {
  moveMouse(find("frmVarno.client"), QPoint(2, 2));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].prompt,
            "Dieser (3,3)-Varno-Würfel-Ring wurde mit Hilfe der\r\n"
            "Monte-Carlo-Methode gefunden.\r\n"
            "\r\n"
            "In der Menüleiste finden Sie diese und weitere\r\n"
            "Möglichkeiten.\r\n"
            "\r\n"
            "Durch Klick auf die Würfelfelder können die Würfel\r\n"
            "aber auch einfach 'per Hand' beschriftet werden.\r\n");
}

TEST_F(Texts, TheToolkitsOwnTextsAreGerman) {
  QMessageBox box(QMessageBox::Question, "t", "p", QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Ja");
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "Nein");
  QMessageBox ok(QMessageBox::Information, "t", "p", QMessageBox::Ok);
  EXPECT_EQ(ok.button(QMessageBox::Ok)->text().remove('&'), "OK");
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_TRUE(files.labelText(QFileDialog::FileName).contains("Datei"))
      << files.labelText(QFileDialog::FileName).toStdString();
  EXPECT_EQ(files.labelText(QFileDialog::Reject).remove('&'), "Abbrechen");
}

}  // namespace
}  // namespace varno
