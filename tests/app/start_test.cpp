// The window as it starts: maximized with the ring its seed finds, or with a ring file named on the
// command line or a ring given as text; and ring files dropped onto it later.
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include "application.h"
#include "counting/temporarydirectory.h"
#include "window/ringtext.h"
#include "windowfixture.h"

namespace varno {
namespace {

class Start : public WindowTest {
 protected:
  // A ring file of the given first die, (2, 4, 9) and (1, 6, 8), by a name of bytes, not always UTF-8.
  std::string ringFile(const std::string& name, const std::vector<std::string>& first) {
    std::string path = folder.path() + "/" + name;
    testing::writeFile(path, varno::ringFile("3", "3",
                                             {first[0], first[1], first[2], "0", "0", "0", "0", "0", "2", "4",
                                              "9", "0", "0", "0", "0", "0", "1", "6", "8"}));
    return path;
  }

  // Drops a file as a file manager does: its name percent-encoded in a URL.
  bool drop(const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return true;
  }

  const testing::TemporaryDirectory folder;
};

TEST_F(Start, TheWindowOpensFillingTheScreenWithTheThreeByThreeRingItsSeedFinds) {
  EXPECT_TRUE(window.isMaximized());
  EXPECT_GE(window.width(), window.screen()->availableGeometry().width() * 9 / 10);
  // The seed decides the ring, how many passes found it and the hit, a ring "linksrum".
  EXPECT_EQ(QString::fromStdString(ringText(form)) + " after " + text("Text3(0)") + ", hits " +
                text("Text3(1)") + text("txtRückmeldung"),
            "4 5 6 | 1 7 8 | 2 3 9 after 183, hits 1 ja, linksrum");
  EXPECT_FALSE(form.ausgabe.primitives().empty() || seen("picEingabe") || seen("Text4"));
  EXPECT_EQ(find<PrintBox>("Picture1(3)")->printed(), " maxmin");
}

TEST_F(Start, ARingFileOrTextGivenAtStartOrAFileDroppedLaterIsShownWhateverItsNameAndABadOneGetsItsMessage) {
  window.openAtStart("/nonexistent/ring.vrf");
  window.ringAtStart("1 6");
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].prompt.substr(0, 18), "Laden abgebrochen!");
  EXPECT_EQ(dialogs.messages[1].prompt,
            "Der beim Start angegebene Ring wird nicht gezeigt!\r\n\r\n"
            "Der Text nach --ring ist kein Ring: Ein Ring hat 3 bis 8 Würfel.");
  EXPECT_TRUE(form.Begrüßung);  // the welcome speaks of the ring the search found
  window.ringAtStart("1 6 8 | 2 4 9 | 3 5 7");
  EXPECT_EQ(text("txtRückmeldung"), " ja, linksrum");
  EXPECT_FALSE(form.Begrüßung);
  form.Begrüßung = true;
  // Decimal fractions are read with a point, whatever the locale says; a name need not be UTF-8: Qt reads
  // both of these as "lat\uFFFD.vrf".
  window.openAtStart(ringFile("lat\xe5.vrf", {"2.5", "-.5", ".25"}));
  EXPECT_EQ(text("txtAuge(0)") + " " + text("txtSumme(0)") + text("txtRückmeldung"), "-.5 2.25 nein");
  EXPECT_FALSE(form.Begrüßung);
  EXPECT_TRUE(drop(ringFile("lat\xe4.vrf", {"3", "5", "7"})));
  EXPECT_EQ(text("txtAuge(0)") + text("txtRückmeldung"), "3 ja, rechtsrum");
  window.openAtStart(ringFile("W\xc3\xbcrfel 1.vrf", {"1", "5", "7"}));
  EXPECT_EQ(text("txtAuge(0)"), "1");
  // Only a ring file is taken, and not while a search runs; one given at start by another name is told of.
  EXPECT_FALSE(drop(ringFile("dropped.txt", {"3", "5", "7"})));
  form.searchRunning = true;
  EXPECT_FALSE(drop(ringFile("busy.vrf", {"1", "2", "3"})));
  form.searchRunning = false;
  window.openAtStart(ringFile("given.txt", {"3", "5", "7"}));
  EXPECT_EQ(text("txtAuge(0)"), "1");
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[2].prompt,
            "Laden abgebrochen!\r\n\r\nNur Ringdateien mit der Endung .vrf können geladen werden.");
}

TEST(CommandLine, HelpAndAMistypedOptionAreAnsweredWhereNoDisplayIsAtHand) {
  // The words given, the exit status, and a text the answer holds.
  const std::tuple<QStringList, int, QString> rows[] = {
      {{"--help"}, 0, "--ring <ring>"},
      {{"--ohne-solche"}, 1, "Unbekannte Option 'ohne-solche'"},
  };
  for (const auto& [words, status, answer] : rows) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(display);
    program.setProcessEnvironment(environment);
    program.start(VARNO_PROGRAM, words);
    ASSERT_TRUE(program.waitForFinished(-1)) << words.join(' ').toStdString();
    EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()), std::pair(QProcess::NormalExit, status))
        << words.join(' ').toStdString();
    const QString said = QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
    EXPECT_TRUE(said.contains(answer)) << said.toStdString();
  }
}

TEST(CommandLine, NamesAndRingsThatAreNotUtf8AreTakenAsTheirBytes) {
  const std::string e4 = "Ordner/lat\xe4.vrf", e5 = "lat\xe5.vrf", umlaut = "W\xc3\xbcrfel 1.vrf";
  // A name, the words given, and the file and the ring read from them.
  using Words = std::vector<std::string>;
  const std::tuple<const char*, Words, std::optional<std::string>, std::optional<QString>> rows[] = {
      {"latin-1 after a ring", {"varno", "--ring", "1 6 8 | 2 4 9 | 3 5 7", e4}, e4, "1 6 8 | 2 4 9 | 3 5 7"},
      {"ring after it", {"varno", e4, "--ring=3 5 7 | 2 4 9 | 1 6 8"}, e4, "3 5 7 | 2 4 9 | 1 6 8"},
      {"utf-8", {"varno", umlaut}, umlaut, std::nullopt},
      {"both not utf-8", {"varno", "--ring", "1\xff", e5}, e5, "1\uFFFD"},
      {"nothing", {"varno"}, std::nullopt, std::nullopt},
  };
  for (const auto& [name, words, file, ring] : rows) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    const StartRequest request = readCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(request.file, file) << name;
    EXPECT_EQ(request.ring, ring) << name;
  }
}

}  // namespace
}  // namespace varno
