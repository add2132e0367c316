#include "counting/storage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace varno {

namespace {

constexpr std::uint64_t kSlice = std::uint64_t{32} << 20;  // bytes read or written between two cancel looks

std::uint64_t pageSize() {
  static const auto size = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return size;
}

[[noreturn]] void fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Unmaps arenas on a thread of its own, so that a count that ends or is cancelled returns at once.
class Releaser {
 public:
  static Releaser& instance() {
    static Releaser releaser;
    return releaser;
  }

  void unmap(std::byte* data, std::uint64_t bytes) {
    {
      std::lock_guard lock(mutex_);
      queue_.emplace_back(data, bytes);
      if (!thread_.joinable()) thread_ = std::thread(&Releaser::loop, this);
    }
    wake_.notify_all();
  }

  void finish() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return queue_.empty() && !busy_; });
  }

  ~Releaser() {
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

 private:
  Releaser() = default;

  void loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      const auto [data, bytes] = queue_.front();
      queue_.pop_front();
      busy_ = true;
      lock.unlock();
      munmap(data, bytes);
      lock.lock();
      busy_ = false;
      if (queue_.empty()) idle_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::pair<std::byte*, std::uint64_t>> queue_;
  bool busy_ = false;
  bool closing_ = false;
  std::thread thread_;
};

void checkCancel(const std::atomic<bool>* cancel) {
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw CountCancelled{};
}

}  // namespace

Arena::Arena(std::uint64_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  void* mapped =
      mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  data_ = static_cast<std::byte*>(mapped);
}

Arena::Arena(Arena&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

Arena& Arena::operator=(Arena&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) Releaser::instance().unmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

Arena::~Arena() {
  if (data_ != nullptr) Releaser::instance().unmap(data_, size_);
}

void Arena::release(std::uint64_t offset, std::uint64_t bytes) {
  const std::uint64_t page = pageSize();
  const std::uint64_t first = (offset + page - 1) / page * page;
  const std::uint64_t end = std::min(offset + bytes, size_) / page * page;
  if (end > first) madvise(data_ + first, end - first, MADV_DONTNEED);
}

void Arena::finishReleases() {
  Releaser::instance().finish();
}

LayerFile LayerFile::create(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) fail("cannot create a file in " + directory);
  return LayerFile(fd);
}

LayerFile LayerFile::open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) fail("cannot open " + path);
  return LayerFile(fd);
}

LayerFile::LayerFile(LayerFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

LayerFile& LayerFile::operator=(LayerFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

LayerFile::~LayerFile() {
  if (fd_ >= 0) ::close(fd_);
}

void LayerFile::write(std::uint64_t offset, const void* data, std::uint64_t bytes,
                      const std::atomic<bool>* cancel) {
  const auto* from = static_cast<const std::byte*>(data);
  while (bytes > 0) {
    checkCancel(cancel);
    const ssize_t written = ::pwrite(fd_, from, std::min(bytes, kSlice), static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("cannot write a layer file");
    }
    from += written;
    offset += static_cast<std::uint64_t>(written);
    bytes -= static_cast<std::uint64_t>(written);
  }
}

void LayerFile::read(std::uint64_t offset, void* data, std::uint64_t bytes,
                     const std::atomic<bool>* cancel) const {
  auto* to = static_cast<std::byte*>(data);
  while (bytes > 0) {
    checkCancel(cancel);
    const ssize_t got = ::pread(fd_, to, std::min(bytes, kSlice), static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("cannot read a layer file");
    }
    if (got == 0) {
      // Beyond the end: never written, so zero.
      std::memset(to, 0, bytes);
      return;
    }
    to += got;
    offset += static_cast<std::uint64_t>(got);
    bytes -= static_cast<std::uint64_t>(got);
  }
}

void LayerFile::punchHole(std::uint64_t offset, std::uint64_t bytes) {
  if (bytes == 0) return;
  // Only saves space; a file system without holes keeps the bytes, which is no error.
  fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
            static_cast<off_t>(bytes));
}

void LayerFile::keepAs(const std::string& path) {
  if (::fsync(fd_) != 0) fail("cannot flush a layer file");
  ::unlink(path.c_str());
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
    fail("cannot keep " + path);
}

void writeFileAtomically(const std::string& path, const std::string& contents) {
  // Written unnamed, named only once complete, then renamed over the old file: a process killed at any
  // moment leaves the old file or the new one, and at most a complete copy under the temporary name.
  const std::string directory = std::filesystem::path(path).parent_path().string();
  LayerFile file = LayerFile::create(directory.empty() ? "." : directory);
  file.write(0, contents.data(), contents.size(), nullptr);
  const std::string temporary = path + ".new";
  file.keepAs(temporary);
  if (std::rename(temporary.c_str(), path.c_str()) != 0) fail("cannot write " + path);
}

std::optional<std::string> readSmallFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void removeFile(const std::string& path) {
  ::unlink(path.c_str());
}

std::uint64_t availableMemoryBytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kilobytes = 0;
  std::string unit;
  while (meminfo >> key >> kilobytes >> unit) {
    if (key == "MemAvailable:") return kilobytes * 1024;
  }
  return 0;
}

std::uint64_t freeDiskBytes(const std::string& directory) {
  struct statvfs info {};
  if (::statvfs(directory.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace varno
