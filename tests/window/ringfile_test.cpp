#include "window/ringfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "counting/temporarydirectory.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "window/ringstate.h"
#include "window/ringtext.h"

namespace varno {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

class RingFiles : public RingTest {
 protected:
  const testing::TemporaryDirectory folder;
  const fs::path directory = folder.path();
};

TEST(RingFileNames, VrfIsAppendedUnlessTheNameEndsInVrfOrSdkExactly) {
  const std::pair<const char*, const char*> rows[] = {
      {"ring", "ring.vrf"},         {"ring.vrf", "ring.vrf"},
      {"ring.sdk", "ring.sdk"},     {"RING.SDK", "RING.SDK.vrf"},
      {"RING.VRF", "RING.VRF.vrf"}, {"/a/b/ring.txt", "/a/b/ring.txt.vrf"},
      {"vrf", "vrf.vrf"},           {".vrf", ".vrf"},
  };
  for (const auto& [chosen, saved] : rows) EXPECT_EQ(saveName(chosen), saved) << chosen;
}

// A ring is saved in 66 lines, an empty face as "0", under the name chosen with ".vrf" added unless it ends
// in ".sdk" or is not UTF-8, and comes back through "laden" as it was, up to the longest file that is read.
// The dialogs open in the working directory, or nowhere once it is gone.
TEST_F(RingFiles, ARingComesBackThroughTheMenusAlsoUnderANameThatIsNotUtf8) {
  minimalRing();
  EXPECT_EQ(ringFileText(form), ringFile("3", "3",
                                         {"3", "5", "7", "0", "0", "0", "0", "0", "2", "4", "9", "0", "0",
                                          "0", "0", "0", "1", "6", "8"}));
  const std::string ring = ringFileText(form);
  writeFile(directory / "lat\xe5.vrf", ringFile("4", "4"));  // the same name to a reader of UTF-8
  dialogs.chosen = {(directory / "ring.sdk").string(), (directory / "lat\xe4").string(),
                    (directory / "lat\xe4.vrf").string()};
  cmdSpeichern_Click(form);
  cmdSpeichern_Click(form);
  EXPECT_EQ(dialogs.files[1].fileName, (directory / "ring.sdk").string());  // the name last chosen
  setSize(5, 2);
  form.txtRückmeldung.setText("");
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.files.at(0).directory, fs::current_path().string());
  EXPECT_EQ(dialogs.files.at(2).fileName, "*vrf");
  EXPECT_EQ(form.VScroll1[0].value() * 10 + form.VScroll1[1].value(), 33);
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(face(form, 7, 7).text(), "0");  // an empty face comes back as "0"
  EXPECT_EQ(ringFileText(form), ring);
  EXPECT_EQ(readFile(directory / "lat\xe4.vrf"), ring);
  EXPECT_EQ(readFile(directory / "ring.sdk"), ring);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"lat\xe4.vrf", "lat\xe5.vrf", "ring.sdk"}));

  const fs::path previous = fs::current_path();
  fs::create_directory(directory / "gone");
  fs::current_path(directory / "gone");
  fs::remove(directory / "gone");
  dialogs.chosen = {(directory / "ring").string(), (directory / "ring.vrf").string()};
  cmdSpeichern_Click(form);
  cmdLaden_Click(form);
  fs::current_path(previous);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.files.at(3).directory, "");
  EXPECT_EQ(readFile(directory / "ring.vrf"), ring);

  // The last face of die 1 grows until the file has the largest size read: it loads, in its place; one
  // digit more is not saved.
  const std::string longest = "8" + std::string(kLargestRingFile - ring.size(), '1');
  face(form, 0, 2).setText(longest);
  dialogs.chosen = {(directory / "longest").string(), (directory / "longer").string(),
                    (directory / "longest.vrf").string()};
  cmdSpeichern_Click(form);
  EXPECT_EQ(fs::file_size(directory / "longest.vrf"), kLargestRingFile);
  face(form, 0, 2).setText(longest + "1");
  cmdSpeichern_Click(form);
  EXPECT_EQ(messages(), "Speichern abgebrochen! / Eingabeproblem / 16;");
  EXPECT_FALSE(fs::exists(directory / "longer.vrf"));
  setSize(4, 2);
  cmdLaden_Click(form);
  EXPECT_EQ(messages(), "");
  EXPECT_EQ(face(form, 0, 2).text(), longest);
  EXPECT_EQ(ringFileText(form), readFile(directory / "longest.vrf"));
}

// What the reader makes of a file: n x k, the lines of n and k, and every face other than "0" after its
// place; or why it refuses the file.
std::string readAs(const std::string& content) {
  std::string problem;
  const std::optional<RingFile> ring = parseRingFile(content, problem);
  if (!ring) return problem;
  std::string read =
      std::to_string(ring->n) + "x" + std::to_string(ring->k) + "|" + ring->dice + "|" + ring->faces;
  for (int i = 0; i < kDice * kFaces; ++i)
    if (ring->faceTexts[i] != "0") read += "|" + std::to_string(i) + "=" + ring->faceTexts[i];
  return read;
}

// Files as editors leave them are read as the window takes its fields, numbers digit for digit however
// long; a damaged file is refused as a whole, and so is one with a character that shows as nothing (one
// byte-order mark at the start excepted).
TEST(RingFileReading, EveryFileIsReadAsTheWindowTakesItsFieldsOrRefusedWithItsReason) {
  std::string unix;
  for (char c : ringFile("3", "2", {"1", "2"}))
    if (c != '\r') unix += c;
  const std::string first65 = ringFile("3", "3").substr(0, ringFile("3", "3").size() - 3);  // "0\r\n" off
  const std::string nines(400, '9'), small = "0." + std::string(400, '0') + "1";
  std::string marks;
  for (int i = 0; i < 3500; ++i) marks += "\uFEFF";
  const auto invisible = [](int line, const char* code) {
    return "In Zeile " + std::to_string(line) + " steht ein unsichtbares Zeichen (U+" + code + ").";
  };
  const std::tuple<const char*, std::string, std::string> rows[] = {
      {"edited",
       ringFile(" 4 ", "003", {" 05", "5x", "2.50", "-0", "+7", "007", "", " x y ", "00" + nines, small}),
       "4x3|4|3|0=5|1=5x|2=2.5|4=7|5=7|6=|7=x y|8=" + nines + "|9=" + small.substr(1)},
      {"lines ended by LF alone, blank lines after", unix + "\n\n", "3x2|3|2|0=1|1=2"},
      {"the last face blank", first65 + "\r\n", "3x3|3|3|63="},
      {"the last face blanks and a tab", first65 + "  \t\r\n", "3x3|3|3|63="},
      {"the last face blank, then blank lines", first65 + "\r\n\r\n \r\n", "3x3|3|3|63="},
      {"the last face without a line end", first65 + "7", "3x3|3|3|63=7"},
      {"the last face missing", first65, "Die Datei hat weniger als 66 Zeilen."},
      {"a line more", ringFile("3", "3") + "5\r\n", "Die Datei hat mehr als 66 Zeilen."},
      {"empty", "", "Die Datei ist leer."},
      {"lone cr", ringFile("3", "3", {"1\r:00"}), "Die Zeilen der Datei enden nicht mit CR LF oder LF."},
      {"one mark at the start", "\uFEFF" + ringFile("4", "3", {"€ 3", "Würfel"}), "4x3|4|3|0=€ 3|1=Würfel"},
      {"3500 marks", marks + ringFile("4", "3"), invisible(1, "FEFF")},
      {"mark in a face", ringFile("4", "3", {"\uFEFF3"}), invisible(3, "FEFF")},
      {"soft hyphen", ringFile("4", "3", {"1", "2", "\u00AD5"}), invisible(5, "00AD")},
      {"no-break space", ringFile("4", "\u00A03"), invisible(2, "00A0")},
      {"direction mark", ringFile("4", "3", {"\u200F9"}), invisible(3, "200F")},
      {"word joiner", ringFile("4", "3", {"9\u2060!"}), invisible(3, "2060")},
      {"swapped mark", ringFile("4", "3", {"\uFFFE!"}), invisible(3, "FFFE")},
      {"tag", ringFile("4", "3", {"1", "2", "3", "4\U000E0041"}), invisible(6, "E0041")},
      {"mark after the ring", ringFile("4", "3") + "\uFEFF", invisible(67, "FEFF")},
  };
  for (const auto& [name, content, read] : rows) EXPECT_EQ(readAs(content), read) << name;
  for (const char* n : {"2", "9", "drei", "3.5"})
    EXPECT_EQ(readAs(ringFile(n, "3")),
              "Die Anzahl der Würfel in Zeile 1 muss eine ganze Zahl von 3 bis 8 sein.");
  for (const char* k : {"0", "9"})
    EXPECT_EQ(readAs(ringFile("3", k)),
              "Die Anzahl der Seiten in Zeile 2 muss eine ganze Zahl von 1 bis 8 sein.");
  // A control character, bytes that are no UTF-8, a surrogate, a code point beyond Unicode, an overlong form.
  for (const std::string& face : {std::string("1\0", 2), std::string("\xff\xfe"), std::string("\xed\xa0\x80"),
                                  std::string("\xf4\x90\x80\x80"), std::string("\xe0\x80\xaf")})
    EXPECT_EQ(readAs(ringFile("3", "3", {face})), "Die Datei ist keine Textdatei.");
}

// A save that fails says so, and writes into no pipe nor over a folder. Loading changes nothing when the
// dialog is cancelled or the name does not end in ".vrf"; what is no ring file is refused with its reason,
// never waited for. Neither changes the ring on screen.
TEST_F(RingFiles, WhatCannotBeSavedOrIsNoRingFileIsRefusedWithItsReasonAndChangesNothing) {
  minimalRing();
  const auto before = ringState(form);
  fs::create_directory(directory / "folder.vrf");
  const fs::path pipe = directory / "pipe.vrf";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink(pipe, directory / "link.vrf");
  // Open for reading, so that a save that opened the pipe to write would not wait: what it wrote shows.
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const std::optional<std::string> failing[] = {
      std::nullopt,                                  // the dialog cancelled
      (directory / "folder.vrf").string(),           // a folder of that name
      (directory / std::string(252, 'n')).string(),  // too long once ".vrf" is added
      (directory / "missing" / "ring").string(),     // a folder that is not there
      pipe.string(),                                 // a pipe nobody reads
      (directory / "link").string(),                 // a link to it
  };
  for (const auto& chosen : failing) {
    dialogs.chosen = {chosen};
    cmdSpeichern_Click(form);
    EXPECT_EQ(messages(), "Speichern abgebrochen! / Eingabeproblem / 16;") << chosen.value_or("cancel");
  }
  EXPECT_TRUE(fs::is_directory(directory / "folder.vrf"));
  EXPECT_TRUE(fs::is_fifo(pipe));
  char byte = 0;
  EXPECT_EQ(::read(reader, &byte, 1), 0);
  ::close(reader);

  const std::string ring = ringFile("4", "4");
  writeFile(directory / "ring.sdk", ring);
  writeFile(directory / "RING.VRF", ring);
  dialogs.chosen = {std::nullopt, (directory / "ring.sdk").string(), (directory / "RING.VRF").string()};
  for (int i = 0; i < 3; ++i) cmdLaden_Click(form);
  EXPECT_EQ(messages(), "");
  EXPECT_EQ(ringState(form), before);

  fs::create_symlink("/dev/zero", directory / "zero.vrf");  // endless, and harmless to read
  ASSERT_EQ(::mknod((directory / "socket.vrf").c_str(), S_IFSOCK | 0600, 0), 0);
  writeFile(directory / "large.vrf", ring + std::string(kLargestRingFile + 1 - ring.size(), '\n'));
  // Should loading ever open the pipe and wait for a writer, this one writes a ring into it, which then
  // loads: the test fails instead of hanging. It stops when the test ends, however it ends.
  const std::jthread writer([&](const std::stop_token& stop) {
    for (int fd = -1; !stop.stop_requested() && fd < 0;
         std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
      fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0 && ::write(fd, ring.data(), ring.size()) >= 0) ::close(fd);
    }
  });
  const std::string notRegular = "Die Datei ist keine gewöhnliche Datei";
  const std::pair<const char*, std::string> rows[] = {
      {"pipe", notRegular + ", sondern eine Pipe."},
      {"zero", notRegular + ", sondern ein Gerät."},
      {"folder", notRegular + ", sondern ein Ordner."},
      {"socket", notRegular + "."},
      {"large", "Die Datei ist zu groß für eine Ringdatei."},
      {"missing", "Die Datei kann nicht gelesen werden."},
  };
  for (const auto& [name, problem] : rows) {
    dialogs.chosen = {(directory / (std::string(name) + ".vrf")).string()};
    cmdLaden_Click(form);
    EXPECT_EQ(messages(), "Laden abgebrochen!\r\n\r\n" + problem + " / Eingabeproblem / 16;") << name;
    EXPECT_EQ(ringState(form), before) << name;
  }
}

// The dice read, written as "Ring kopieren" writes them.
std::string shown(const RingText& ring) {
  std::string text;
  for (const auto& die : ring.dice) {
    if (!text.empty()) text += " | ";
    for (std::size_t f = 0; f < die.size(); ++f) text += (f ? " " : "") + die[f];
  }
  return text;
}

TEST(RingText, EveryWayOfWritingARingIsReadAndEveryTextThatIsNoRingIsRefusedWithItsReason) {
  const std::string padded = "1 2 | 3 4 | 5 6";  // a ring exactly as long as a ring text may be
  std::string eightByEight;
  for (int d = 0; d < 8; ++d)
    for (int f = 0; f < 8; ++f) eightByEight += (f ? " " : d ? " | " : "") + std::to_string(10 * d + f);
  std::string umlauts;  // fifteen, two bytes each
  for (int i = 0; i < 15; ++i) umlauts += "ä";
  const struct {
    const char* name;
    std::string text;
    std::string ring;       // what is read, or nothing
    std::string problem{};  // why it is refused
  } rows[] = {
      {"bars", "3 5 7 | 2 4 9 | 1 6 8", "3 5 7 | 2 4 9 | 1 6 8"},
      {"bars, tabs and no blanks", " 1\t2|3  4|5 6 ", "1 2 | 3 4 | 5 6"},
      {"commas between the faces of bars", "1,3 | 2, 4 |5 ,6|7,  8", "1 3 | 2 4 | 5 6 | 7 8"},
      {"round brackets", "(3, 5, 17), (2, 4, 19), (1, 6, 18)", "3 5 17 | 2 4 19 | 1 6 18"},
      {"square brackets in square brackets", "[[3,5,27],[2,4,29],[1,6,28]]\n", "3 5 27 | 2 4 29 | 1 6 28"},
      {"round in round, blanks inside", "( (1 9) ; [2 8](3 7) )", "1 9 | 2 8 | 3 7"},
      {"semicolons", "3,5,37; 2,4,39; 1,6,38", "3 5 37 | 2 4 39 | 1 6 38"},
      {"one die per line", "3 5 57\r\n2 4 59\n\n  \n1 6 58\n", "3 5 57 | 2 4 59 | 1 6 58"},
      {"plain decimal forms", "007 +2.50 -.5 | -0 .5 0.000 | 0.25 3. 5", "7 2.5 -.5 | 0 .5 0 | .25 3 5"},
      {"eight dice of eight faces", eightByEight, eightByEight},
      {"three dice of one face", "(5)(3)(4)", "5 | 3 | 4"},
      {"as long as a ring text may be", padded + std::string(kLongestRingText - padded.size(), ' '),
       "1 2 | 3 4 | 5 6"},
      {"one byte longer", padded + std::string(kLongestRingText - padded.size() + 1, ' '), "",
       "Der Text ist zu lang für einen Ring."},
      {"empty", "", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"bars without faces", " | | ", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"two dice", "1 2 | 3 4", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"nine dice", "1|2|3|4|5|6|7|8|9", "", "Ein Ring hat 3 bis 8 Würfel."},
      {"nine faces", "1 2 3 4 5 6 7 8 9 | 1 | 1", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"an empty die in brackets", "(1), (), (3)", "", "Ein Würfel hat 1 bis 8 Seiten."},
      {"dice of unequal size", "1 2 | 3 | 4 5", "", "Jeder Würfel braucht gleich viele Seiten."},
      {"a word", "1 x | 2 3 | 4 5", "", "\"x\" ist keine Zahl."},
      {"an exponent", "(1e3, 2), (3, 4), (5, 6)", "", "\"1e3\" ist keine Zahl."},
      {"an invisible mark", "\uFEFF1 | 2 | 3", "", "\"\uFEFF1\" ist keine Zahl."},
      {"a long word, cut inside a character", "1 x" + umlauts + " | 2 | 3", "",
       "\"x" + umlauts.substr(0, 22) + "…\" ist keine Zahl."},
      {"a long word, cut between characters", "1 xx" + umlauts + " | 2 | 3", "",
       "\"xx" + umlauts.substr(0, 22) + "…\" ist keine Zahl."},
      {"two commas", "1,,2; 3,4,5; 6,7,8", "", "Vor oder nach einem Komma fehlt eine Zahl."},
      {"a bracket left open", "(1,2),(3,4),(5,6", "", "Die Klammern passen nicht zusammen."},
      {"brackets of two kinds", "(1,2],[3,4],[5,6]", "", "Die Klammern passen nicht zusammen."},
      {"the outer bracket left open", "[[1,2],[3,4],[5,6]", "", "Die Klammern passen nicht zusammen."},
      {"the outer bracket closed by another", "[(1,2),(3,4),(5,6))", "",
       "Die Klammern passen nicht zusammen."},
      {"a die without brackets", "(1,2), 3 4, (5,6)", "", "Jeder Würfel gehört in eigene Klammern."},
  };
  for (const auto& row : rows) {
    std::string problem{};  // why it is refused
    const std::optional<RingText> ring = parseRingText(row.text, problem);
    EXPECT_EQ(ring ? shown(*ring) : "", row.ring) << row.name;
    EXPECT_EQ(problem, row.problem) << row.name;
  }
}

// "Ring kopieren" writes each face as the value it counts with, digit for digit: a text the leading-number
// rule reads only in part gives the number it reads, however many digits it has.
TEST_F(RingTest, ACopiedRingWritesTheValueOfEveryFaceWithAllItsDigits) {
  setSize(3, 2);
  const char* faces[3][2] = {
      {" 12345678901234567890", "007.50"}, {"98765432109876543210.5x", "1.5E+3"}, {"abc", "-0.25 Punkte"}};
  for (int d = 0; d < 3; ++d)
    for (int f = 0; f < 2; ++f) face(form, d, f).setText(faces[d][f]);
  EXPECT_EQ(ringText(form), "12345678901234567890 7.5 | 98765432109876543210.5 1.5 | 0 -.25");
}

}  // namespace
}  // namespace varno
