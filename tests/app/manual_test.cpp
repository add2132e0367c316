// "Handbuch": the manual in a window of its own, with its headings, a table of contents that jumps, and a
// word about every control and menu item of the window.
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "windowfixture.h"

namespace varno {
namespace {

using Handbook = WindowTest;

TEST_F(Handbook, TheManualShowsItsHeadingsAndEveryLinkJumpsToASectionThatExists) {
  choose("cmdHelp");
  QWidget* manual = find("frmManual");
  ASSERT_TRUE(manual->isVisible());
  EXPECT_EQ(manual->windowTitle(), "Handbuch");
  auto* browser = find<QTextBrowser>("txtManual");
  QStringList headings, anchors, links;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() > 0) headings << block.text().trimmed();
    for (auto part = block.begin(); !part.atEnd(); ++part) {
      const QTextCharFormat format = part.fragment().charFormat();
      anchors << format.anchorNames();
      if (!format.anchorHref().isEmpty()) links << format.anchorHref();
    }
  }
  EXPECT_EQ(headings.join(" | "),
            (QStringList{"Handbuch zu den Varno-Würfel-Ringen", "Inhalt", "Das Fenster", "Parameter, Eingabe",
                         "Die Würfel", "Das Ergebnis", "Während einer Rechnung", "Gesamt und Treffer",
                         "Das Beschriftungsgerät", "Die Graphik und „Gr“", "Suchen und Zählen",
                         "Dateien und Beispiele", "Das Menü Extras", "Ringe als Text", "Die Tastatur"}
                 .join(" | ")));
  EXPECT_GE(links.size(), 9);
  for (const QString& link : links) {
    ASSERT_TRUE(link.startsWith('#')) << link.toStdString();
    EXPECT_TRUE(anchors.contains(link.mid(1))) << link.toStdString();
  }
  // A link of the contents jumps down to its section, and the last link back up to the contents.
  browser->setSource(QUrl("#tastatur"));
  QApplication::processEvents();
  const int down = browser->verticalScrollBar()->value();
  browser->setSource(QUrl("#inhalt"));
  QApplication::processEvents();
  EXPECT_GT(down, browser->verticalScrollBar()->value());
  EXPECT_GT(browser->verticalScrollBar()->value(), 0);

  // Every caption and tool tip of the window and every menu item is explained (the dice all alike).
  const QString text = browser->document()->toPlainText();
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
