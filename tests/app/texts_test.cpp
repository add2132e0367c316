// The window's German texts: captions, tool tips, the menus, the information boxes, the welcome and the
// manual (the toolkit's own buttons: dialogs_test.cpp).
#include <QGroupBox>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>

#include "windowfixture.h"

namespace varno {
namespace {

using Texts = WindowTest;

TEST_F(Texts, EveryCaptionAndTooltipOfTheWindow) {
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
      {"Picture1(3)", nullptr, "Max. für schwächste Stelle"}};
  const auto caption = [](QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    return qobject_cast<QLineEdit*>(widget)->text();
  };
  for (const auto& [name, shown, toolTip] : rows) {
    if (shown) {
      EXPECT_EQ(caption(find(name)), shown) << name;
    }
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
}

TEST_F(Texts, TheMenuBarFromLeftToRightAndItsMenusWithTheirKeysAsTheGermanDesktopWritesThem) {
  QStringList bar;
  for (QAction* item : window.menuBar()->actions()) bar << item->text();
  EXPECT_EQ(bar, (QStringList{"Datei", "Beispiele", "Zufalls-Set", "MonteCarlo", "Kombinatorik",
                              "Information", "Extras"}));
  // Every item with the key it shows beside it, whatever the locale the program runs in.
  const std::pair<const char*, QStringList> menus[] = {
      {"cmdDatei", {"speichern\tStrg+S", "laden\tStrg+O", "beenden\tStrg+Q"}},
      {"cmdBeispiele", {"Varnos Beispiel\t", "Minimalstruktur\t", "zyklisch 5x5\t", "bester 4x4\t"}},
      {"cmdMonteCarlo",
       {"3x3\t", "3x4\t", "3x5\t", "3x6\t", "4x3\t", "4x4\t", "Informationen zum Algorithmus\t"}},
      {"cmdKombinatorik",
       {"alle Belegungen zählen\t", "zählen und zeigen\t", "Informationen zur Zählweise\t"}},
      {"cmdExtras",
       {"Gewinnmatrix\t", "stärksten Ring zeigen\t", "Verteilung der schwächsten Stelle\t",
        "Graphik exportieren …\t", "Graphik drucken …\tStrg+P", "Ring kopieren\tStrg+C",
        "Ring einfügen\tStrg+V", "Rückgängig\tStrg+Z", "Wiederholen\tStrg+Umschalt+Z", "Handbuch\tF1"}},
  };
  for (const auto& [name, expected] : menus) {
    QStringList items;
    for (QAction* item : find<QMenu>(name)->actions())
      items << item->text() + "\t" + item->shortcut().toString(QKeySequence::NativeText);
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

// "Handbuch": the manual in a window of its own, with links to its sections and a word about every control
// and menu item of the window.
TEST_F(Texts, TheManualExplainsEveryControlAndEveryLinkLeadsToASectionThatExists) {
  choose("cmdHelp");
  QWidget* manual = find("frmManual");
  ASSERT_TRUE(manual->isVisible());
  EXPECT_EQ(manual->windowTitle(), "Handbuch");
  auto* browser = find<QTextBrowser>("txtManual");
  const QString html = browser->toHtml();
  int links = 0;
  for (const QRegularExpressionMatch& link : QRegularExpression("href=\"#([^\"]*)\"").globalMatch(html)) {
    ++links;
    EXPECT_TRUE(html.contains("name=\"" + link.captured(1) + "\"")) << link.captured(1).toStdString();
  }
  EXPECT_GE(links, 9);
  // Every caption and tool tip of the window and every menu item is explained (the dice all alike).
  const QString text = browser->toPlainText();
  for (const Control* control : form.controls()) {
    if (control->name().starts_with("frmWürfel(")) continue;
    const bool captioned =
        (control->kind() != ControlKind::TextBox && control->kind() != ControlKind::PictureBox) ||
        control == &form.Text4;
    for (const std::string& shown : {captioned ? control->text() : std::string(), control->toolTip()})
      EXPECT_TRUE(text.contains(QString::fromStdString(shown))) << control->name() << ": " << shown;
  }
}

}  // namespace
}  // namespace varno
