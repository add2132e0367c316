// "Handbuch": the manual in a window of its own, with links to its sections and a word about every control
// and menu item of the window.
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "windowfixture.h"

namespace varno {
namespace {

using Handbook = WindowTest;

TEST_F(Handbook, TheManualExplainsEveryControlAndEveryLinkLeadsToASectionThatExists) {
  choose("cmdHelp");
  QWidget* manual = find("frmManual");
  ASSERT_TRUE(manual->isVisible());
  EXPECT_EQ(manual->windowTitle(), "Handbuch");
  auto* browser = find<QTextBrowser>("txtManual");
  QStringList anchors, links;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
    for (auto part = block.begin(); !part.atEnd(); ++part) {
      const QTextCharFormat format = part.fragment().charFormat();
      anchors << format.anchorNames();
      if (!format.anchorHref().isEmpty()) links << format.anchorHref();
    }
  EXPECT_GE(links.size(), 9);
  for (const QString& link : links) {
    ASSERT_TRUE(link.startsWith('#')) << link.toStdString();
    EXPECT_TRUE(anchors.contains(link.mid(1))) << link.toStdString();
  }
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
