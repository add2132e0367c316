// A directory of its own for a test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
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

}  // namespace varno::testing
