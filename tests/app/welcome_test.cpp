#include <QMenuBar>
#include <QTest>

#include "windowfixture.h"

namespace varno {
namespace {

using Welcome = WindowTest;

TEST_F(Welcome, TheFirstMovementOverTheBackgroundGreetsOnceAndShowsThePad) {
  // A text field or the menu bar alone does not greet.
  moveMouse(find("Text3(0)"), QPoint(3, 3));
  moveMouse(find("Text3(0)"), QPoint(6, 4));
  moveMouse(window.menuBar(), QPoint(3, 3));
  moveMouse(window.menuBar(), QPoint(5, 4));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(seen("picEingabe"));

  moveMouse(find("frmVarno.client"), QPoint(2, 2));
  moveMouse(find("frmVarno.client"), QPoint(3, 3));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].title, "Willkommen");
  EXPECT_EQ(dialogs.messages[0].style, 64);
  EXPECT_TRUE(seen("picEingabe"));
  moveMouse(find("picAusgabe"), QPoint(6, 6));
  moveMouse(find("picAusgabe"), QPoint(8, 8));
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Welcome, TheRingTablesBoxAndTheDrawingSurfaceGreetToo) {
  moveMouse(find("frame1"), QPoint(3, 30));
  moveMouse(find("frame1"), QPoint(4, 31));
  EXPECT_EQ(dialogs.messages.size(), 1u);

  window.hide();  // the second window must be the one under the mouse
  frmVarno other;
  MainWindow second(other);
  ScriptedDialogs more;
  other.dialogs = &more;
  second.Form_Load(3);
  second.show();
  QApplication::processEvents();
  moveMouse(second.findChild<QWidget*>("picAusgabe"), QPoint(6, 6));
  moveMouse(second.findChild<QWidget*>("picAusgabe"), QPoint(8, 8));
  EXPECT_EQ(more.messages.size(), 1u);
}

}  // namespace
}  // namespace varno
