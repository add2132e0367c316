// A layer's blocks on disk, packed: each block is cut into pieces, each piece packed by zstd and appended
// to the layer's file, where it is found again through an index in memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "counting/storage.h"

namespace varno {

class LayerStore {
 public:
  // Bytes of a block packed as one piece: pieces are packed and unpacked on all threads at once, and a
  // piece is large enough for zstd to find what repeats.
  static constexpr std::uint64_t kPieceBytes = std::uint64_t{1} << 20;

  // Where a block's bytes are in memory, to be stored from or read into.
  struct Place {
    std::uint32_t block = 0;
    std::byte* data = nullptr;
    std::uint64_t bytes = 0;
  };

  LayerStore() = default;
  // An empty store of `blocks` blocks appended to `file`.
  LayerStore(LayerFile file, std::size_t blocks, std::uint64_t pieceBytes = kPieceBytes);
  // A store over an unpacked file, such as a kept layer: block b lies as it is at extents[b] (offset and
  // bytes in the file). Its content is not checked against a check sum of the store's own.
  static LayerStore unpacked(LayerFile file,
                             const std::vector<std::pair<std::uint64_t, std::uint64_t>>& extents);

  bool isOpen() const { return file_.isOpen(); }

  // Stores blocks not stored before, on up to `threads` threads. A piece that zstd does not make smaller
  // is stored as it is.
  void put(std::span<const Place> places, unsigned threads, const std::atomic<bool>* cancel);
  // Reads whole blocks, on up to `threads` threads. Throws std::runtime_error when a piece does not give
  // back exactly the bytes stored (a damaged file, or space given back), and for a block of another size.
  void get(std::span<const Place> places, unsigned threads, const std::atomic<bool>* cancel) const;
  // Reads bytes [from, from + bytes) of a block.
  void read(std::uint32_t block, std::uint64_t from, std::byte* to, std::uint64_t bytes,
            const std::atomic<bool>* cancel) const;
  // Gives the disk space of a block back, once every block is stored: the whole pages its pieces hold,
  // with the pages they share with pieces given back before.
  void release(std::uint32_t block);

  // Bytes appended to the file so far, and the bytes of the blocks they hold.
  std::uint64_t storedBytes() const { return end_; }
  std::uint64_t blockBytes() const { return blockBytes_; }
  // Bytes of the blocks stored and not given back, as they are unpacked.
  std::uint64_t heldBytes() const { return blockBytes_ - releasedBytes_; }

 private:
  struct Piece {
    std::uint64_t offset = 0;  // in the file
    std::uint64_t stored = 0;  // bytes in the file
    std::uint64_t bytes = 0;   // bytes of the block it holds
    std::uint64_t within = 0;  // where they begin in the block
    std::uint64_t check = 0;   // hash of those bytes
    bool packed = false;
    bool checked = false;  // `check` holds the hash
    bool released = false;
  };
  struct Entry {
    std::size_t first = 0;  // pieces [first, first + count)
    std::size_t count = 0;
    std::uint64_t bytes = 0;
    bool stored = false;
  };
  class Worker;

  const Entry& entryOf(std::uint32_t block, std::uint64_t bytes) const;
  void punchFree(std::size_t piece);

  LayerFile file_;
  std::uint64_t pieceBytes_ = kPieceBytes;
  std::uint64_t releasedBytes_ = 0;
  std::vector<Entry> entries_;
  std::vector<Piece> pieces_;
  std::uint64_t end_ = 0;
  std::uint64_t blockBytes_ = 0;
  // The pieces in the order of their offsets, and the place of each in it; made by the first release.
  std::vector<std::size_t> order_;
  std::vector<std::size_t> rank_;
};

}  // namespace varno
