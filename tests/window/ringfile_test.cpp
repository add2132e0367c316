#include "window/ringfile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ringfixture.h"
#include "support/scripteddialogs.h"

namespace varno {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void spit(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A well-formed ring file with the given first two lines and faces, the rest "0".
std::string ringFile(const std::string& n, const std::string& k, const std::vector<std::string>& faces = {}) {
  std::string text = n + "\r\n" + k + "\r\n";
  for (int i = 0; i < 64; ++i) text += (i < static_cast<int>(faces.size()) ? faces[i] : "0") + "\r\n";
  return text;
}

class RingFiles : public RingTest {
 protected:
  RingFiles() {
    GraphikEinrichten(form);
    form.dialogs = &dialogs;
    directory = fs::temp_directory_path() / ("varno-ringfile-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory);
  }
  ~RingFiles() override { fs::remove_all(directory); }

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

  ScriptedDialogs dialogs;
  fs::path directory;
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

TEST_F(RingFiles, TheFileHas66LinesEndedByCrLfWithEmptyFacesAsZero) {
  minimalRing();
  const std::string text = ringFileText(form);
  EXPECT_EQ(text, ringFile("3", "3",
                           {"3", "5", "7", "0", "0", "0", "0", "0", "2", "4", "9", "0", "0", "0", "0", "0",
                            "1", "6", "8"}));
}

TEST_F(RingFiles, SavedAndLoadedAgainTheRingIsTheSame) {
  setSize(5, 4);
  setDice({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}, {17, 18, 19, 20}});
  face(form, 2, 1).setText(" 10");
  const fs::path file = directory / "ring";
  dialogs.chosen = {file.string()};
  cmdSpeichern_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_TRUE(fs::exists(directory / "ring.vrf"));
  EXPECT_EQ(dialogs.files.at(0).directory, fs::current_path().string());
  const std::string saved = slurp(directory / "ring.vrf");
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 66);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\r'), 66);

  const std::string verdict = form.txtRückmeldung.text();
  std::vector<double> values;
  for (int d = 0; d < 5; ++d)
    for (int f = 0; f < 4; ++f) values.push_back(faceValue(form, d, f));
  setSize(3, 3);
  for (Control& field : form.txtAuge) field.setText("");

  dialogs.chosen = {(directory / "ring.vrf").string()};
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.files.back().fileName, "*vrf");
  EXPECT_EQ(form.Text1[0].text(), "5");
  EXPECT_EQ(form.VScroll1[1].value(), 4);
  std::vector<double> loaded;
  for (int d = 0; d < 5; ++d)
    for (int f = 0; f < 4; ++f) loaded.push_back(faceValue(form, d, f));
  std::sort(values.begin(), values.end());
  std::sort(loaded.begin(), loaded.end());
  EXPECT_EQ(loaded, values);
  EXPECT_EQ(form.txtRückmeldung.text(), verdict);
  EXPECT_EQ(face(form, 7, 7).text(), "0");  // empty faces come back as "0"
  EXPECT_FALSE(form.ausgabe.primitives().empty());
}

TEST_F(RingFiles, SavingUnderAnSdkNameKeepsItAndTheDialogRemembersTheName) {
  minimalRing();
  dialogs.chosen = {(directory / "ring.sdk").string(), (directory / "ring.vrf").string()};
  cmdSpeichern_Click(form);
  cmdSpeichern_Click(form);
  EXPECT_TRUE(fs::exists(directory / "ring.sdk"));
  EXPECT_TRUE(fs::exists(directory / "ring.vrf"));
  EXPECT_FALSE(fs::exists(directory / "ring.vrf.vrf"));
  EXPECT_EQ(dialogs.files[1].fileName, (directory / "ring.sdk").string());
}

TEST_F(RingFiles, EveryFailedSaveSaysSoAndLeavesTheOldFileWhole) {
  minimalRing();
  dialogs.chosen = {std::nullopt};
  cmdSpeichern_Click(form);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].prompt, "Speichern abgebrochen!");
  EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
  EXPECT_EQ(dialogs.messages[0].style, 16);

  // The new content cannot be written next to the old file: the old file stays as it was.
  spit(directory / "old.vrf", "old content");
  fs::create_directory(directory / "old.vrf.part");
  dialogs.chosen = {(directory / "old.vrf").string()};
  cmdSpeichern_Click(form);
  EXPECT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(slurp(directory / "old.vrf"), "old content");

  // A folder of that name, and a name below a file.
  fs::create_directory(directory / "folder.vrf");
  spit(directory / "plain", "x");
  dialogs.chosen = {(directory / "folder.vrf").string(), (directory / "plain" / "ring").string()};
  cmdSpeichern_Click(form);
  cmdSpeichern_Click(form);
  EXPECT_EQ(dialogs.messages.size(), 4u);
  EXPECT_TRUE(fs::is_directory(directory / "folder.vrf"));
}

TEST_F(RingFiles, LoadingReadsHandEditedFieldsAsTheWindowDoes) {
  minimalRing();
  std::string text = ringFile(" 4 ", "003", {" 05", "abc", "2.50", "-0", "+7", "007", "", " x y "});
  spit(directory / "edited.vrf", text);
  dialogs.chosen = {(directory / "edited.vrf").string()};
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.Text1[0].text(), "4");
  EXPECT_EQ(form.Text1[1].text(), "3");
  // The full redraw after loading sorts the three faces in use: "abc" counts 0.
  EXPECT_EQ(die(0, 8), (std::vector<std::string>{"abc", "2.5", "5", "0", "7", "7", "", "x y"}));

  // Lines ended by LF alone, and blank lines after the ring, are fine too.
  text = ringFile("3", "2", {"1", "2"});
  std::string unix;
  for (char c : text)
    if (c != '\r') unix += c;
  spit(directory / "unix.vrf", unix + "\n\n");
  dialogs.chosen = {(directory / "unix.vrf").string()};
  cmdLaden_Click(form);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.Text1[1].text(), "2");
  EXPECT_EQ(die(0, 2), (std::vector<std::string>{"1", "2"}));
}

TEST_F(RingFiles, LoadingIgnoresCancelAndNamesNotEndingInVrf) {
  minimalRing();
  const auto before = snapshot();
  spit(directory / "ring.sdk", ringFile("4", "4"));
  spit(directory / "RING.VRF", ringFile("4", "4"));
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
      {"empty", ""},
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
      {"lone cr", ringFile("3", "3", {"1\r:00"})},
      {"huge", ringFile("3", "3", {std::string(70000, '1')})},
  };
  std::string binary;
  for (int i = 0; i < 600; ++i) binary += static_cast<char>((i * 37) % 256);
  rows.push_back({"binary", binary});
  for (const Row& row : rows) {
    const fs::path file = directory / (std::string(row.name) + ".vrf");
    spit(file, row.content);
    dialogs.messages.clear();
    dialogs.chosen = {file.string()};
    cmdLaden_Click(form);
    ASSERT_EQ(dialogs.messages.size(), 1u) << row.name;
    EXPECT_EQ(dialogs.messages[0].prompt.substr(0, 18), "Laden abgebrochen!") << row.name;
    EXPECT_EQ(dialogs.messages[0].title, "Eingabeproblem");
    EXPECT_EQ(dialogs.messages[0].style, 16);
    EXPECT_EQ(snapshot(), before) << row.name;
  }
  // Missing and unreadable files, and folders.
  fs::create_directory(directory / "folder.vrf");
  for (const fs::path& file : {directory / "missing.vrf", directory / "folder.vrf"}) {
    dialogs.messages.clear();
    dialogs.chosen = {file.string()};
    cmdLaden_Click(form);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].prompt.find("nicht gelesen"), std::string::npos);
  }
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace varno
