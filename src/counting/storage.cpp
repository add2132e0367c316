#include "counting/storage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <new>
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
  // Pages of 2 MiB where the system offers them: a layer is written page by page once, and each fault on
  // a small page costs more than filling it. A kernel without them keeps small pages.
  madvise(data_, bytes, MADV_HUGEPAGE);
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

LayerFile LayerFile::createAt(int directoryFd) {
  const int fd = ::openat(directoryFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) fail("cannot create a file in the work directory");
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

std::uint64_t LayerFile::readSome(void* data, std::uint64_t bytes) const {
  auto* to = static_cast<std::byte*>(data);
  std::uint64_t got = 0;
  while (got < bytes) {
    const ssize_t part = ::pread(fd_, to + got, bytes - got, static_cast<off_t>(got));
    if (part < 0 && errno == EINTR) continue;
    if (part < 0) fail("cannot read a file");
    if (part == 0) break;
    got += static_cast<std::uint64_t>(part);
  }
  return got;
}

std::uint64_t LayerFile::size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) fail("cannot examine a layer file");
  return static_cast<std::uint64_t>(info.st_size);
}

LayerFile LayerFile::duplicate() const {
  const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) fail("cannot open a layer file again");
  return LayerFile(fd);
}

void LayerFile::punchHole(std::uint64_t offset, std::uint64_t bytes) {
  if (bytes == 0) return;
  // Only saves space; a file system without holes keeps the bytes, which is no error.
  fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
            static_cast<off_t>(bytes));
}

void LayerFile::flush() {
  if (::fsync(fd_) != 0) fail("cannot flush a layer file");
}

void LayerFile::keepAs(const std::string& path) {
  keepAt(AT_FDCWD, path);
}

void LayerFile::keepAt(int directoryFd, const std::string& name) {
  flush();
  ::unlinkat(directoryFd, name.c_str(), 0);
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  if (::linkat(AT_FDCWD, self.c_str(), directoryFd, name.c_str(), AT_SYMLINK_FOLLOW) != 0)
    fail("cannot keep " + name);
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
