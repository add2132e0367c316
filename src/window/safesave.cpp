#include "window/safesave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>

namespace varno {

namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path stands for: symbolic links followed to their end, even when that end does not exist
// yet. False for a loop of links.
bool followLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return false;
    target.resize(static_cast<std::size_t>(length));
    if (target[0] != '/') target.insert(0, folderOf(path) + "/");
    path = target;
  }
  return false;
}

// Writes everything and flushes it to the disk; `full` makes the disk full half-way.
bool writeAll(int fd, const std::string& content, bool full) {
  const std::size_t end = full ? content.size() / 2 : content.size();
  std::size_t written = 0;
  while (written < end) {
    const ssize_t step = ::write(fd, content.data() + written, end - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) return false;
    written += static_cast<std::size_t>(step);
  }
  if (full) errno = ENOSPC;
  return !full && ::fsync(fd) == 0;
}

// A hidden name in the folder, no longer than `name` (if that has two characters or more), that no file
// has yet: candidates are tried until `create` succeeds in making it without replacing anything.
template <typename Create>
bool temporaryName(const std::string& folder, const std::string& name, Create create, std::string& made) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> letter(0, sizeof kLetters - 2);
  const std::size_t length = std::clamp<std::size_t>(name.size(), 2, 12);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = ".";
    while (candidate.size() < length) candidate += kLetters[letter(random)];
    made = folder;
    made += "/";
    made += candidate;
    if (create(made)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

bool saveFileSafely(const std::string& path, const std::string& content, const SaveOptions& options) {
  const auto fails = [&options](SaveStep step) {
    if (!options.failing || !options.failing(step)) return false;
    errno = ENOSPC;
    return true;
  };
  std::string target = path;
  if (target.empty() || !followLinks(target)) return false;
  const std::string folder = folderOf(target);
  const std::string name = nameOf(target);
  if (name.empty()) return false;

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || existing.st_nlink > 1 || ::access(target.c_str(), W_OK) != 0))
    return false;
  if (!exists && errno != ENOENT) return false;

  // The content, and for a file that was there its owner, group and permissions (in this order: a
  // change of owner may clear permission bits).
  const auto fill = [&](int fd) {
    if (!writeAll(fd, content, fails(SaveStep::Write))) return false;
    if (!exists) return true;
    struct stat made {};
    if (::fstat(fd, &made) != 0) return false;
    const uid_t owner = made.st_uid == existing.st_uid ? static_cast<uid_t>(-1) : existing.st_uid;
    const gid_t group = made.st_gid == existing.st_gid ? static_cast<gid_t>(-1) : existing.st_gid;
    if (fails(SaveStep::Owner) || ::fchown(fd, owner, group) != 0) return false;
    return !fails(SaveStep::Mode) && ::fchmod(fd, existing.st_mode & 07777) == 0;
  };

  // The content first goes to a file without a name in the target's folder.
  Descriptor file;
  if (options.unnamedFiles && !fails(SaveStep::Create))
    file.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);  // as the umask allows
  std::string temporary;
  if (file.fd >= 0) {
    if (!fill(file.fd)) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
    auto link = [&self, &fails](const std::string& at) {
      return !fails(SaveStep::Name) &&
             ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, at.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    // A new file is simply given its name; one that was there is replaced by a rename.
    if (!exists && link(target)) return true;
    if (!temporaryName(folder, name, link, temporary)) return false;
  } else {
    // Where the system has no files without a name, a hidden one that nothing else has.
    auto create = [&file, &fails](const std::string& at) {
      file.fd =
          fails(SaveStep::Create) ? -1 : ::open(at.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      return file.fd >= 0;
    };
    if (!temporaryName(folder, name, create, temporary)) return false;
    if (!fill(file.fd)) {
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (fails(SaveStep::Replace) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace varno
