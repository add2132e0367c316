// Ring files opened from the desktop: named on the command line, or dropped onto the window.
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "windowfixture.h"

namespace varno {
namespace {

class OpenFile : public WindowTest {
 protected:
  // A ring file of three dice with the given faces for die 1 (the rest of the minimal ring).
  QString ringFile(const char* name, const std::vector<std::string>& first) {
    const QString path = QDir::temp().filePath(QString("varno-open-%1-%2").arg(::getpid()).arg(name));
    std::string text = "3\r\n3\r\n";
    const std::vector<std::string> rest = {"0", "0", "0", "0", "0", "2", "4", "9",
                                           "0", "0", "0", "0", "0", "1", "6", "8"};
    for (int i = 0; i < 64; ++i) {
      const std::size_t at = static_cast<std::size_t>(i);
      text += (at < first.size()                 ? first[at]
               : at - first.size() < rest.size() ? rest[at - first.size()]
                                                 : "0");
      text += "\r\n";
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.c_str());
    created.push_back(path);
    return path;
  }
  ~OpenFile() override {
    for (const QString& path : created) QFile::remove(path);
  }

  bool drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return true;
  }

  std::vector<QString> created;
};

TEST_F(OpenFile, ARingNamedAtStartIsLoadedWithItsNumbersInAnyLocale) {
  window.openAtStart(ringFile("start.vrf", {"3", "5", "7"}));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(text("txtPGewinn(8)"), " .55");
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
  EXPECT_FALSE(form.Begrüßung);  // the welcome speaks of the ring the search found
  // Decimal fractions are read with a point, whatever the locale says.
  window.openAtStart(ringFile("fractions.vrf", {"2.5", "-.5", ".25"}));
  EXPECT_EQ(text("txtAuge(0)"), "-.5");
  EXPECT_EQ(text("txtAuge(1)"), ".25");
  EXPECT_EQ(text("txtAuge(2)"), "2.5");
  EXPECT_EQ(text("txtSumme(0)"), "2.25");
}

TEST_F(OpenFile, ABadFileNamedAtStartGetsTheMessageAndTheWindowOpensAsUsual) {
  const std::string before = form.txtAuge[0].text();
  for (const QString& path : {ringFile("short.txt", {"1"}), QString("/nonexistent/ring.vrf")}) {
    dialogs.messages.clear();
    window.openAtStart(path);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt.substr(0, 18), "Laden abgebrochen!");
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
  }
  EXPECT_EQ(form.txtAuge[0].text(), before);
  EXPECT_TRUE(form.Begrüßung);
}

TEST_F(OpenFile, ARingFileDroppedOntoTheWindowIsLoaded) {
  EXPECT_FALSE(drop(ringFile("dropped.txt", {"3", "5", "7"})));
  EXPECT_TRUE(drop(ringFile("dropped.vrf", {"3", "5", "7"})));
  EXPECT_EQ(text("txtAuge(10)"), "9");
  EXPECT_EQ(text("txtRückmeldung"), " ja, rechtsrum");
  // Not while a search runs.
  form.searchRunning = true;
  EXPECT_FALSE(drop(ringFile("busy.vrf", {"1", "2", "3"})));
  form.searchRunning = false;
}

}  // namespace
}  // namespace varno
