#include "window/ringfile.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "counting/temporarydirectory.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"

namespace varno {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

class RingFiles : public RingTest {
 protected:
  void minimalRing() {
    setSize(3, 3);
    setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  }
  // Every face text and n and k, to see that nothing changed.
  std::vector<std::string> snapshot() const {
    std::vector<std::string> texts = {form.Text1[0].text(), form.Text1[1].text(), form.txtRückmeldung.text()};
    for (const Control& field : form.txtAuge) texts.push_back(field.text());
    return texts;
  }

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

TEST_F(RingFiles, TheFileHas66LinesWithEmptyFacesAsZeroAndAnSdkNameIsKept) {
  minimalRing();
  EXPECT_EQ(ringFileText(form), ringFile("3", "3",
                                         {"3", "5", "7", "0", "0", "0", "0", "0", "2", "4", "9", "0", "0",
                                          "0", "0", "0", "1", "6", "8"}));
  dialogs.chosen = {(directory / "ring.sdk").string(), (directory / "ring.vrf").string()};
  cmdSpeichern_Click(form);
  cmdSpeichern_Click(form);
  EXPECT_EQ(readFile(directory / "ring.sdk"), ringFileText(form));
  EXPECT_TRUE(fs::exists(directory / "ring.vrf"));
  EXPECT_FALSE(fs::exists(directory / "ring.vrf.vrf"));
  EXPECT_EQ(dialogs.files[1].fileName, (directory / "ring.sdk").string());  // the name last chosen
}

TEST_F(RingFiles, EveryFailedSaveSaysSoLeavesTheOldFileWholeAndTheRingOnScreen) {
  minimalRing();
  const auto before = snapshot();
  writeFile(directory / "old.vrf", "old content");
  fs::create_directory(directory / "folder.vrf");
  writeFile(directory / "plain", "x");
  fs::create_directory_symlink(directory / "loop1", directory / "loop2");
  fs::create_directory_symlink(directory / "loop2", directory / "loop1");
  const fs::path pipe = directory / "pipe.vrf";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink(pipe, directory / "link.vrf");
  // Open for reading, so that a save that opened the pipe to write would not wait: what it wrote shows.
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const std::optional<std::string> failing[] = {
      std::nullopt,                                  // the dialog cancelled
      (directory / "folder.vrf").string(),           // a folder of that name
      (directory / "plain" / "ring").string(),       // a name below a file
      (directory / std::string(252, 'n')).string(),  // too long once ".vrf" is added
      (directory / "loop1" / "ring").string(),       // a folder reached through a loop of links
      (directory / "missing" / "ring").string(),     // a folder that is not there
      pipe.string(),                                 // a pipe nobody reads
      (directory / "link").string(),                 // a link to it
  };
  for (const auto& chosen : failing) {
    dialogs.messages.clear();
    dialogs.chosen = {chosen};
    cmdSpeichern_Click(form);
    ASSERT_EQ(dialogs.messages.size(), 1u) << chosen.value_or("cancel");
    EXPECT_EQ(dialogs.messages[0].prompt, "Speichern abgebrochen!");
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
    EXPECT_EQ(dialogs.messages[0].style, 16);
  }
  EXPECT_EQ(readFile(directory / "old.vrf"), "old content");
  EXPECT_TRUE(fs::is_directory(directory / "folder.vrf"));
  EXPECT_TRUE(fs::is_fifo(pipe));
  char byte = 0;
  EXPECT_EQ(::read(reader, &byte, 1), 0);
  ::close(reader);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(RingFiles, ARingComesBackThroughTheMenusAlsoUnderANameThatIsNotUtf8) {
  minimalRing();
  face(form, 7, 7).setText("x");
  face(form, 7, 7).setText("");
  const std::string ring = ringFileText(form);
  writeFile(directory / "lat\xe5.vrf", ringFile("4", "4"));  // the same name to a reader of UTF-8
  dialogs.chosen = {(directory / "lat\xe4").string(), (directory / "lat\xe4.vrf").string()};
  cmdSpeichern_Click(form);
  setSize(5, 2);
  form.txtRückmeldung.setText("");
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.files.at(0).directory, fs::current_path().string());
  EXPECT_EQ(dialogs.files.at(1).fileName, "*vrf");
  EXPECT_EQ(form.VScroll1[0].value() * 10 + form.VScroll1[1].value(), 33);
  EXPECT_EQ(form.txtRückmeldung.text(), kRechtsrum);
  EXPECT_EQ(face(form, 7, 7).text(), "0");  // an empty face comes back as "0"
  EXPECT_EQ(ringFileText(form), ring);
  EXPECT_EQ(readFile(directory / "lat\xe4.vrf"), ring);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"lat\xe4.vrf", "lat\xe5.vrf"}));
}

TEST_F(RingFiles, SavingAndLoadingWorkAfterTheWorkingDirectoryIsGone) {
  minimalRing();
  const fs::path previous = fs::current_path();
  fs::create_directory(directory / "gone");
  fs::current_path(directory / "gone");
  fs::remove(directory / "gone");
  dialogs.chosen = {(directory / "ring").string(), (directory / "ring.vrf").string()};
  cmdSpeichern_Click(form);
  cmdLaden_Click(form);
  fs::current_path(previous);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.files.at(0).directory, "");
  EXPECT_EQ(readFile(directory / "ring.vrf"), ringFileText(form));
}

// What the reader makes of a file: n, k, the first eight faces and the last two, or why it refuses it.
std::string readAs(const std::string& content) {
  std::string problem;
  const std::optional<RingFile> ring = parseRingFile(content, problem);
  if (!ring) return problem;
  std::string read = ring->dice + "|" + ring->faces;
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 62, 63}) read += "|" + ring->faceTexts[i];
  return read;
}

TEST(RingFileReading, HandEditedFilesAreReadAsTheWindowTakesItsFieldsAndTheLastFaceMayBeBlank) {
  std::string unix;
  for (char c : ringFile("3", "2", {"1", "2"}))
    if (c != '\r') unix += c;
  const std::string first65 = ringFile("3", "3").substr(0, ringFile("3", "3").size() - 3);  // "0\r\n" off
  const struct {
    const char* name;
    std::string content, read;
  } rows[] = {
      {"edited", ringFile(" 4 ", "003", {" 05", "abc", "2.50", "-0", "+7", "007", "", " x y "}),
       "4|3|5|abc|2.5|0|7|7||x y|0|0"},
      {"lines ended by LF alone, blank lines after", unix + "\n\n", "3|2|1|2|0|0|0|0|0|0|0|0"},
      {"the last face blank", first65 + "\r\n", "3|3|0|0|0|0|0|0|0|0|0|"},
      {"the last face blanks and a tab", first65 + "  \t\r\n", "3|3|0|0|0|0|0|0|0|0|0|"},
      {"the last face blank, then blank lines", first65 + "\r\n\r\n \r\n", "3|3|0|0|0|0|0|0|0|0|0|"},
      {"the last face without a line end", first65 + "7", "3|3|0|0|0|0|0|0|0|0|0|7"},
      {"the last face missing", first65, "Die Datei hat weniger als 66 Zeilen."},
  };
  for (const auto& row : rows) EXPECT_EQ(readAs(row.content), row.read) << row.name;
}

TEST_F(RingFiles, InvisibleCharactersAreRefusedWithTheirLineAndOneMarkAtTheStartIsRead) {
  minimalRing();
  const auto before = snapshot();
  std::string marks;
  for (int i = 0; i < 3500; ++i) marks += "\xEF\xBB\xBF";
  struct Row {
    const char* name;
    std::string content;
    int line;          // 0: read
    const char* code;  // the character's code point
  };
  const std::string mark = "\xEF\xBB\xBF", shy = "\xC2\xAD", nbsp = "\xC2\xA0", rlm = "\xE2\x80\x8F";
  const Row rows[] = {
      {"3500 marks", marks + ringFile("4", "3"), 1, "FEFF"},
      {"mark in a face", ringFile("4", "3", {mark + "3"}), 3, "FEFF"},
      {"mark in n", ringFile("4" + mark, "3"), 1, "FEFF"},
      {"zero width space", ringFile("4", "3", {"1", "3\xE2\x80\x8B"}), 4, "200B"},
      {"soft hyphen", ringFile("4", "3", {"1", "2", shy + "5"}), 5, "00AD"},
      {"no-break space", ringFile("4", nbsp + "3"), 2, "00A0"},
      {"next line", ringFile("4", "3", {"", "\xC2\x85"}), 4, "0085"},
      {"direction mark", ringFile("4", "3", {rlm + "9"}), 3, "200F"},
      {"word joiner", ringFile("4", "3", {"9\xE2\x81\xA0!"}), 3, "2060"},
      {"variation selector", ringFile("4", "3", {"7\xEF\xB8\x8F"}), 3, "FE0F"},
      {"swapped mark", ringFile("4", "3", {"\xEF\xBF\xBE!"}), 3, "FFFE"},
      {"tag", ringFile("4", "3", {"1", "2", "3", "4\xF3\xA0\x81\x81"}), 6, "E0041"},
      {"mark after the ring", ringFile("4", "3") + mark, 67, "FEFF"},
      {"one mark", mark + ringFile("4", "3", {"\xE2\x82\xAC 3", "W\xC3\xBCrfel"}), 0, ""},
  };

  for (const Row& row : rows) {
    const fs::path file = directory / "marked.vrf";
    writeFile(file, row.content);
    dialogs.messages.clear();
    ASSERT_EQ(loadRingFile(form, file.string()), row.line == 0) << row.name;
    if (row.line == 0) {
      EXPECT_EQ(form.Text1[0].text() + face(form, 0, 0).text() + face(form, 0, 1).text(),
                "4\xE2\x82\xAC 3W\xC3\xBCrfel");
      continue;
    }
    ASSERT_EQ(dialogs.messages.size(), 1u) << row.name;
    EXPECT_EQ(dialogs.messages[0].prompt, "Laden abgebrochen!\r\n\r\nIn Zeile " + std::to_string(row.line) +
                                              " steht ein unsichtbares Zeichen (U+" + row.code + ").")
        << row.name;
    EXPECT_EQ(snapshot(), before) << row.name;
  }
}

// A face text as users and files make them: numbers of every size and form, words, blanks, nothing.
std::string randomFace(std::mt19937& random) {
  const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
  const auto digits = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + pick(10));
    return text;
  };
  switch (pick(8)) {
    case 0:
      return "";
    case 1:
      return digits(1 + pick(3));
    case 2:
      return std::string(pick(3), '0') + digits(1 + pick(30));  // leading zeros, beyond a double's digits
    case 3:
      return (pick(2) ? "-" : "") + digits(pick(20)) + "." + digits(1 + pick(20));
    case 4:
      return digits(300 + pick(200));
    case 5:
      return " " + digits(1 + pick(4)) + std::string(pick(3), ' ');
    case 6: {
      const char* words[] = {"abc", "W\xc3\xbcrfel", "1e5", "x y", "5x", "-", ".", "+7", "\xe2\x82\xac 3"};
      return words[pick(9)];
    }
    default:
      return "0." + std::string(pick(400), '0') + digits(1 + pick(3));
  }
}

TEST_F(RingFiles, ThousandsOfRandomRingsComeBackWithTheSameValues) {
  std::mt19937 random(20261206);
  form.Freigabe = false;  // the faces only, without evaluating each of them
  for (int round = 0; round < 3000; ++round) {
    const int n = 3 + static_cast<int>(random() % 6), k = 1 + static_cast<int>(random() % 8);
    setSize(n, k);
    for (Control& field : form.txtAuge) field.setText(randomFace(random));
    std::string problem;
    const std::optional<RingFile> ring = parseRingFile(ringFileText(form), problem);
    ASSERT_TRUE(ring.has_value()) << problem;
    EXPECT_EQ(ring->n, n);
    EXPECT_EQ(ring->k, k);
    for (int i = 0; i < 64; ++i) {
      const std::string& shown = form.txtAuge[i].text();
      const std::string& loaded = ring->faceTexts[i];
      EXPECT_EQ(leadingNumber(loaded), leadingNumber(shown)) << '"' << shown << '"';
      EXPECT_EQ(loaded.find('E'), std::string::npos) << '"' << shown << '"';
      // A number keeps every digit; anything else keeps its text, blanks around it dropped.
      if (isDecimalNumber(loaded)) {
        EXPECT_EQ(loaded, plainDecimal(loaded)) << '"' << shown << '"';
      }
    }
    // Saved and loaded once more, the file is the same.
    RingFile again = *ring;
    setSize(n, k);
    for (int i = 0; i < 64; ++i) form.txtAuge[i].setText(again.faceTexts[i]);
    const std::optional<RingFile> second = parseRingFile(ringFileText(form), problem);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->faceTexts, ring->faceTexts);
  }
}

TEST_F(RingFiles, LoadingIgnoresCancelAndNamesNotEndingInVrf) {
  minimalRing();
  const auto before = snapshot();
  writeFile(directory / "ring.sdk", ringFile("4", "4"));
  writeFile(directory / "RING.VRF", ringFile("4", "4"));
  dialogs.chosen = {std::nullopt, (directory / "ring.sdk").string(), (directory / "RING.VRF").string()};
  cmdLaden_Click(form);
  cmdLaden_Click(form);
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(snapshot(), before);
}

TEST_F(RingFiles, DamagedFilesAreRefusedAsAWholeWithAMessageAndChangeNothing) {
  minimalRing();
  const auto before = snapshot();
  const std::string good = ringFile("3", "3", {"9", "8", "7"});
  struct Row {
    const char* name;
    std::string content;
  };
  std::vector<Row> rows = {
      {"short", good.substr(0, good.size() - 3)},  // 65 lines
      {"long", good + "5\r\n"},
      {"n low", ringFile("2", "3")},
      {"n high", ringFile("9", "3")},
      {"n text", ringFile("drei", "3")},
      {"n fraction", ringFile("3.5", "3")},
      {"n huge", ringFile("3888888888888888", "3")},
      {"k zero", ringFile("3", "0")},
      {"k high", ringFile("3", "9")},
      {"k negative", ringFile("3", "-1")},
      {"nul byte", ringFile("3", "3", {std::string("1\0", 2)})},
      {"not utf-8", ringFile("3", "3", {"\xff\xfe"})},
      {"surrogate", ringFile("3", "3", {"\xed\xa0\x80"})},
      {"beyond unicode", ringFile("3", "3", {"\xf4\x90\x80\x80"})},
      {"overlong", ringFile("3", "3", {"\xe0\x80\xaf"})},
      {"lone cr", ringFile("3", "3", {"1\r:00"})},
  };
  std::string binary;
  for (int i = 0; i < 600; ++i) binary += static_cast<char>((i * 37) % 256);
  rows.push_back({"binary", binary});
  for (const Row& row : rows) {
    const fs::path file = directory / (std::string(row.name) + ".vrf");
    writeFile(file, row.content);
    dialogs.messages.clear();
    dialogs.chosen = {file.string()};
    cmdLaden_Click(form);
    ASSERT_EQ(dialogs.messages.size(), 1u) << row.name;
    EXPECT_EQ(dialogs.messages[0].prompt.substr(0, 18), "Laden abgebrochen!") << row.name;
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
    EXPECT_EQ(dialogs.messages[0].style, 16);
    EXPECT_EQ(snapshot(), before) << row.name;
  }
  EXPECT_EQ(snapshot(), before);
}

TEST_F(RingFiles, WhatIsNoRingFileIsRefusedWithItsReasonAndNeverWaitedFor) {
  minimalRing();
  const auto before = snapshot();
  const fs::path pipe = directory / "pipe.vrf";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", directory / "zero.vrf");  // endless, and harmless to read
  fs::create_directory(directory / "folder.vrf");
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (directory / "socket.vrf").string();
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  const std::string ring = ringFile("4", "4");
  writeFile(directory / "large.vrf", ring + std::string(kLargestRingFile + 1 - ring.size(), '\n'));
  writeFile(directory / "empty.vrf", "");
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
      {"pipe", notRegular + ", sondern eine Pipe."},          {"zero", notRegular + ", sondern ein Gerät."},
      {"folder", notRegular + ", sondern ein Ordner."},       {"socket", notRegular + "."},
      {"large", "Die Datei ist zu groß für eine Ringdatei."}, {"empty", "Die Datei ist leer."},
      {"missing", "Die Datei kann nicht gelesen werden."},
  };
  for (const auto& [name, problem] : rows) {
    dialogs.messages.clear();
    dialogs.chosen = {(directory / (std::string(name) + ".vrf")).string()};
    cmdLaden_Click(form);
    if (dialogs.messages.size() != 1u) {
      ADD_FAILURE() << name << ": " << dialogs.messages.size() << " messages";
      continue;
    }
    EXPECT_EQ(dialogs.messages[0].prompt, "Laden abgebrochen!\r\n\r\n" + problem) << name;
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem") << name;
    EXPECT_EQ(dialogs.messages[0].style, 16) << name;
    EXPECT_EQ(snapshot(), before) << name;
  }
  ::close(socket);
}

TEST_F(RingFiles, TheLongestRingFileThatIsSavedLoadsAndALongerRingIsNotSaved) {
  minimalRing();
  // The last face of die 1 grows until the file has the largest size read: it stays in its place.
  const std::size_t room = kLargestRingFile - ringFileText(form).size() + 1;
  const std::string longest = "8" + std::string(room - 1, '1');
  face(form, 0, 2).setText(longest);
  dialogs.chosen = {(directory / "longest").string(), (directory / "longer").string(),
                    (directory / "longest.vrf").string()};
  cmdSpeichern_Click(form);
  EXPECT_EQ(fs::file_size(directory / "longest.vrf"), kLargestRingFile);
  face(form, 0, 2).setText(longest + "1");
  cmdSpeichern_Click(form);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].prompt, "Speichern abgebrochen!");
  EXPECT_FALSE(fs::exists(directory / "longer.vrf"));
  setSize(4, 2);
  cmdLaden_Click(form);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(face(form, 0, 2).text(), longest);
  EXPECT_EQ(ringFileText(form), readFile(directory / "longest.vrf"));
}

}  // namespace
}  // namespace varno
