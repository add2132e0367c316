// A directory of its own for a test, removed with everything in it afterwards, and whole files read and
// written byte for byte.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace varno::testing {

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    path_ = (std::filesystem::temp_directory_path() / "varno-test-XXXXXX").string();
    if (::mkdtemp(path_.data()) == nullptr) throw std::runtime_error("cannot make a directory in " + path_);
  }
  ~TemporaryDirectory() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }
  // The names of the files in it, sorted.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Everything a folder holds: every name with its content (or where a link points), permissions, owner,
// group and number of names.
inline std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    std::ostringstream text;
    if (S_ISLNK(info.st_mode)) {
      text << std::filesystem::read_symlink(entry.path()).string();
    } else if (S_ISREG(info.st_mode)) {
      text << readFile(entry.path().string());
    }
    text << " mode " << std::oct << info.st_mode << std::dec << " owner " << info.st_uid << ":" << info.st_gid
         << " names " << info.st_nlink;
    files[entry.path().filename().string()] = text.str();
  }
  return files;
}

}  // namespace varno::testing
