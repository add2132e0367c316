// Where the counter keeps its states: memory that is mapped page by page as it is written and given back
// in parts, and files on disk that vanish unless they are kept on purpose.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace varno {

// Thrown from a count's work when its cancel flag is set.
struct CountCancelled {};

// An anonymous memory mapping. Pages are mapped when first written and read as zero before that, so a
// new arena needs no clearing and costs nothing where it is never written. Unmapping a large arena takes
// a while; the destructor hands the mapping to a background thread, which frees it soon after.
class Arena {
 public:
  Arena() = default;
  // Throws std::bad_alloc if the address space cannot be reserved.
  explicit Arena(std::uint64_t bytes);
  Arena(Arena&& other) noexcept;
  Arena& operator=(Arena&& other) noexcept;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  std::byte* data() const { return data_; }
  std::uint64_t size() const { return size_; }
  template <typename T>
  T* as() const {
    return reinterpret_cast<T*>(data_);
  }
  // Gives the whole pages within [offset, offset + bytes) back to the system; they read as zero after.
  void release(std::uint64_t offset, std::uint64_t bytes);

  // Blocks until every arena handed to the background thread so far is unmapped.
  static void finishReleases();

 private:
  std::byte* data_ = nullptr;
  std::uint64_t size_ = 0;
};

// A file of states. create() makes an unnamed file that the system removes when it is closed or the
// process dies, so an interrupted count leaves nothing behind; keepAs() gives it a name once it is
// complete. Reads and writes go in slices and look at `cancel` between them.
class LayerFile {
 public:
  LayerFile() = default;
  static LayerFile create(const std::string& directory);
  // The same within the directory open as `directoryFd`.
  static LayerFile createAt(int directoryFd);
  // Takes over an open file descriptor.
  static LayerFile adopt(int fd) { return LayerFile(fd); }
  LayerFile(LayerFile&& other) noexcept;
  LayerFile& operator=(LayerFile&& other) noexcept;
  LayerFile(const LayerFile&) = delete;
  LayerFile& operator=(const LayerFile&) = delete;
  ~LayerFile();

  bool isOpen() const { return fd_ >= 0; }
  void write(std::uint64_t offset, const void* data, std::uint64_t bytes, const std::atomic<bool>* cancel);
  void read(std::uint64_t offset, void* data, std::uint64_t bytes, const std::atomic<bool>* cancel) const;
  // Reads from the start as much as there is, up to `bytes`; returns how much.
  std::uint64_t readSome(void* data, std::uint64_t bytes) const;
  std::uint64_t size() const;
  // Another handle on the same file.
  LayerFile duplicate() const;
  // Frees the disk space of [offset, offset + bytes); the range reads as zero afterwards.
  void punchHole(std::uint64_t offset, std::uint64_t bytes);
  // Flushes the file to disk and links it under `path`, replacing a file of that name.
  void keepAs(const std::string& path);
  // The same for `name` within the directory open as `directoryFd`.
  void keepAt(int directoryFd, const std::string& name);
  void flush();

 private:
  explicit LayerFile(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// What the machine offers now: MemAvailable, and the space free for an unprivileged user under a
// directory (0 where unknown).
std::uint64_t availableMemoryBytes();
std::uint64_t freeDiskBytes(const std::string& directory);

}  // namespace varno
