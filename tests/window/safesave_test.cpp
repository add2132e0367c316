#include "window/safesave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "counting/temporarydirectory.h"
#include "support/otheruser.h"

namespace varno {
namespace {

namespace fs = std::filesystem;

using testing::folderContents;

// " owner UID:GID" of the files this process makes.
std::string mine() {
  return " owner " + std::to_string(::geteuid()) + ":" + std::to_string(::getegid());
}

// Both ways to the new file: one without a name, and the hidden one of file systems that have none.
const SaveOptions kPaths[] = {{true, {}}, {false, {}}};

TEST(SafeSave, AfterEveryFailedStepOnEitherPathTheFolderHoldsWhatItHeld) {
  const testing::TemporaryDirectory folder;
  const std::string old = folder.path() + "/old.vrf", fresh = folder.path() + "/new.vrf";
  testing::writeFile(old, "the old ring");
  ::chmod(old.c_str(), 0640);
  testing::writeFile(folder.path() + "/.hidden", "the user's own");
  const auto before = folderContents(folder.path());
  const std::string ring(5000, 'r');
  using enum SaveStep;
  for (SaveOptions options : kPaths) {
    for (SaveStep failing : {Create, Write, Owner, Mode, Name, Replace}) {
      options.failing = [failing](SaveStep step) { return step == failing; };
      // Which steps a save takes: a new file needs no owner, mode or replacing when it can be given its
      // name, and only a file without a name is given one.
      const bool unnamed = options.unnamedFiles;
      const bool oldFails = failing != Name || unnamed;
      const bool freshFails = failing == Create || failing == Write || (failing == Name && unnamed) ||
                              (failing == Replace && !unnamed);
      const std::string row =
          std::string(unnamed ? "unnamed" : "named") + ", step " + std::to_string(static_cast<int>(failing));
      EXPECT_EQ(saveFileSafely(old, ring, options), !oldFails) << row;
      EXPECT_EQ(saveFileSafely(fresh, ring, options), !freshFails) << row;
      if (oldFails && freshFails) {
        EXPECT_EQ(folderContents(folder.path()), before) << row;
      } else if (!oldFails) {
        EXPECT_EQ(folderContents(folder.path()).at("old.vrf"), ring + " mode 100640" + mine() + " names 1");
      }
      testing::writeFile(old, "the old ring");
      fs::remove(fresh);
    }
  }
  EXPECT_EQ(folderContents(folder.path()), before);
}

TEST(SafeSave, OnEitherPathOnlyTheTargetIsReplacedThroughALinkWithItsPermissions) {
  for (const SaveOptions& options : kPaths) {
    const testing::TemporaryDirectory folder;
    const std::string longest = folder.path() + "/" + std::string(255, 'l');  // the file system's limit
    testing::writeFile(folder.path() + "/target.vrf", "old ring");
    ::chmod((folder.path() + "/target.vrf").c_str(), 0600);
    fs::create_symlink("target.vrf", folder.path() + "/link.vrf");
    testing::writeFile(folder.path() + "/.a", "the user's own");  // as short as a hidden name can be
    for (const std::string& path : {longest, longest, folder.path() + "/link.vrf"})
      EXPECT_TRUE(saveFileSafely(path, "ring", options)) << path;
    auto after = folderContents(folder.path());
    EXPECT_EQ(after.size(), 4u);  // nothing left beside them
    EXPECT_EQ(after[".a"].substr(0, 14), "the user's own");
    EXPECT_EQ(after[std::string(255, 'l')].substr(0, 14), "ring mode 1006");
    EXPECT_EQ(after["target.vrf"], "ring mode 100600" + mine() + " names 1");
    EXPECT_TRUE(fs::is_symlink(folder.path() + "/link.vrf"));
  }
}

TEST(SafeSave, OwnerAndGroupStayOrTheSaveIsRefusedAndSoAreFilesWithTwoNames) {
  const testing::TemporaryDirectory folder;
  ::chmod(folder.path().c_str(), 0777);
  const std::string one = folder.path() + "/one.vrf", two = folder.path() + "/two.vrf";
  testing::writeFile(one, "linked");
  fs::create_hard_link(one, two);
  for (const SaveOptions& options : kPaths) EXPECT_FALSE(saveFileSafely(two, "ring", options));
  EXPECT_EQ(folderContents(folder.path()).at("one.vrf").substr(0, 9), "linked mo");
  EXPECT_EQ(fs::hard_link_count(one), 2u);
  fs::remove(two);
  if (::geteuid() != 0) GTEST_SKIP() << "files of other users are made by root only";

  constexpr gid_t kShared = 4242, kForeign = 4243;  // groups no one else uses
  const auto file = [&](const char* name, uid_t owner, gid_t group, mode_t mode) {
    std::string path = folder.path() + "/" + name;
    testing::writeFile(path, "old");
    ::chown(path.c_str(), owner, group);
    ::chmod(path.c_str(), mode);
    return path;
  };
  const std::string others = file("others.vrf", testing::kNobody, testing::kNobody, 0640);
  const std::string shared = file("shared.vrf", 0, kShared, 0660);
  const std::string own = file("own.vrf", testing::kNobody, kShared, 0660);
  const std::string foreign = file("foreign.vrf", testing::kNobody, kForeign, 0666);
  const std::string readOnly = file("readonly.vrf", testing::kNobody, kShared, 0444);
  fs::create_directory(folder.path() + "/closed");
  ::chmod((folder.path() + "/closed").c_str(), 0);
  // Root gives the new file the owner and group of the old one.
  EXPECT_TRUE(saveFileSafely(others, "ring"));
  // Nobody, in the shared group, keeps the group of a file of its own, but may not give root's file to
  // root nor a file to a group it is not in, nor write where it may not.
  EXPECT_TRUE(testing::asOtherUser(
      [&]() -> std::string {
        std::string wrong;
        for (const SaveOptions& options : kPaths) {
          if (!saveFileSafely(own, options.unnamedFiles ? "ring 1" : "ring 2", options))
            wrong += "own refused; ";
          for (const std::string& path : {shared, foreign, readOnly, folder.path() + "/closed/ring.vrf"})
            if (saveFileSafely(path, "ring", options)) wrong += path + " saved; ";
        }
        return wrong;
      },
      {kShared}));
  ::chmod((folder.path() + "/closed").c_str(), 0700);
  const auto after = folderContents(folder.path());
  EXPECT_EQ(after.at("others.vrf"), "ring mode 100640 owner 65534:65534 names 1");
  EXPECT_EQ(after.at("own.vrf"), "ring 2 mode 100660 owner 65534:4242 names 1");
  EXPECT_EQ(after.at("shared.vrf"), "old mode 100660 owner 0:4242 names 1");
  EXPECT_EQ(after.at("foreign.vrf"), "old mode 100666 owner 65534:4243 names 1");
  EXPECT_EQ(after.at("readonly.vrf"), "old mode 100444 owner 65534:4242 names 1");
  EXPECT_EQ(after.size(), 7u);
  EXPECT_TRUE(fs::is_empty(folder.path() + "/closed"));
}

}  // namespace
}  // namespace varno
