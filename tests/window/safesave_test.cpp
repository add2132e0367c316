#include "window/safesave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "counting/temporarydirectory.h"
#include "support/otheruser.h"

namespace varno {
namespace {

namespace fs = std::filesystem;

void spit(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Everything a folder holds: every name with its content, permissions, owner, group and number of names.
std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    std::ostringstream text;
    text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    files[entry.path().filename().string()] =
        text.str() + " mode " + std::to_string(info.st_mode) + " owner " + std::to_string(info.st_uid) + ":" +
        std::to_string(info.st_gid) + " names " + std::to_string(info.st_nlink);
  }
  return files;
}

TEST(SafeSave, AfterEveryFailedStepOnEitherPathTheFolderHoldsWhatItHeld) {
  const testing::TemporaryDirectory folder;
  const std::string old = folder.path() + "/old.vrf", fresh = folder.path() + "/new.vrf";
  spit(old, "the old ring");
  ::chmod(old.c_str(), 0640);
  spit(folder.path() + "/.hidden", "the user's own");
  const std::string ring(5000, 'r');
  struct Row {
    const char* name;
    SaveStep step;
    bool named;  // the path of file systems without files that have no name
    bool saved;  // the step is not on this path, so the save goes through
  };
  const Row rows[] = {
      {"unnamed: create", SaveStep::Create, false, false},
      {"unnamed: full disk", SaveStep::Write, false, false},
      {"unnamed: owner", SaveStep::Owner, false, false},
      {"unnamed: mode", SaveStep::Mode, false, false},
      {"unnamed: name", SaveStep::Name, false, false},
      {"unnamed: replace", SaveStep::Replace, false, false},
      {"named: create", SaveStep::Create, true, false},
      {"named: full disk", SaveStep::Write, true, false},
      {"named: owner", SaveStep::Owner, true, false},
      {"named: mode", SaveStep::Mode, true, false},
      {"named: no name to give", SaveStep::Name, true, true},
      {"named: replace", SaveStep::Replace, true, false},
  };
  for (const Row& row : rows) {
    SaveOptions options;
    options.unnamedFiles = !row.named;
    options.failing = [&row](SaveStep step) { return step == row.step; };
    for (const std::string& target : {old, fresh}) {
      const auto before = folderContents(folder.path());
      const bool saved = saveFileSafely(target, ring, options);
      // A new file needs no owner, mode or replacing: those steps are not taken for it.
      const bool newFile = target == fresh;
      const bool expected =
          row.saved || (newFile && (row.step == SaveStep::Owner || row.step == SaveStep::Mode ||
                                    (row.step == SaveStep::Replace && !row.named)));
      EXPECT_EQ(saved, expected) << row.name << ", " << target;
      if (!saved) {
        EXPECT_EQ(folderContents(folder.path()), before) << row.name << ", " << target;
      } else {
        auto after = folderContents(folder.path());
        EXPECT_EQ(after[fs::path(target).filename().string()].substr(0, ring.size()), ring) << row.name;
        after.erase(fs::path(target).filename().string());
        auto others = before;
        others.erase(fs::path(target).filename().string());
        EXPECT_EQ(after, others) << row.name;  // nothing left beside it
        spit(old, "the old ring");
        fs::remove(fresh);
      }
    }
  }
  EXPECT_EQ(folder.files(), (std::vector<std::string>{".hidden", "old.vrf"}));
}

TEST(SafeSave, OwnerAndGroupStayOrTheSaveIsRefusedAndAFileWithTwoNamesIsRefused) {
  const testing::TemporaryDirectory folder;
  ::chmod(folder.path().c_str(), 0777);
  const std::string one = folder.path() + "/one.vrf", two = folder.path() + "/two.vrf";
  spit(one, "linked");
  fs::create_hard_link(one, two);
  for (bool named : {false, true}) {
    EXPECT_FALSE(saveFileSafely(two, "ring", SaveOptions{!named, {}}));
    EXPECT_EQ(folderContents(folder.path()).at("one.vrf").substr(0, 6), "linked");
    EXPECT_EQ(fs::hard_link_count(one), 2u);
  }
  fs::remove(two);
  if (::geteuid() != 0) GTEST_SKIP() << "files of other users are made by root only";

  constexpr gid_t kShared = 4242, kForeign = 4243;  // groups no one else uses
  const auto file = [&](const char* name, uid_t owner, gid_t group, mode_t mode) {
    const std::string path = folder.path() + "/" + name;
    spit(path, "old");
    ::chown(path.c_str(), owner, group);
    ::chmod(path.c_str(), mode);
    return path;
  };
  const auto owner = [](const std::string& path) {
    const fs::path name = fs::path(path).filename();
    return folderContents(fs::path(path).parent_path().string()).at(name.string());
  };
  // Root gives the new file the owner and group of the old one.
  const std::string others = file("others.vrf", testing::kNobody, testing::kNobody, 0640);
  const std::string shared = file("shared.vrf", 0, kShared, 0660);
  const std::string own = file("own.vrf", testing::kNobody, kShared, 0660);
  const std::string foreign = file("foreign.vrf", testing::kNobody, kForeign, 0666);
  EXPECT_TRUE(saveFileSafely(others, "ring"));
  EXPECT_EQ(owner(others), "ring mode 33184 owner 65534:65534 names 1");  // 0100640
  // A member of the group keeps the group of a file of its own, but may not give root's file to root.
  const std::string found = testing::asOtherUser(
      [&]() -> std::string {
        std::string wrong;
        for (bool named : {false, true}) {
          const SaveOptions options{!named, {}};
          if (!saveFileSafely(own, named ? "ring 2" : "ring 1", options)) wrong += "own refused; ";
          if (saveFileSafely(shared, "ring", options)) wrong += "shared saved; ";
          if (saveFileSafely(foreign, "ring", options)) wrong += "foreign saved; ";
        }
        return wrong;
      },
      {kShared});
  EXPECT_EQ(found, "");
  EXPECT_EQ(owner(own), "ring 2 mode 33200 owner 65534:4242 names 1");  // 0100660
  EXPECT_EQ(owner(shared), "old mode 33200 owner 0:4242 names 1");
  EXPECT_EQ(owner(foreign), "old mode 33206 owner 65534:4243 names 1");  // 0100666
  EXPECT_EQ(folder.files(),
            (std::vector<std::string>{"foreign.vrf", "one.vrf", "others.vrf", "own.vrf", "shared.vrf"}));
}

}  // namespace
}  // namespace varno
