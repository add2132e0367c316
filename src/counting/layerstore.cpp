#include "counting/layerstore.h"

#include <unistd.h>
#define XXH_INLINE_ALL
#include <xxhash.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "counting/threads.h"

namespace varno {

namespace {

// zstd's level: on a layer of 6x8 (residues of one prime), level 1 packs 240 MB/s and leaves 56.0 % of
// the bytes, level 3 100 MB/s and 55.3 %, level -1 330 MB/s and 57.4 %.
constexpr int kLevel = 1;

std::uint64_t pageBytes() {
  static const auto bytes = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return bytes;
}

// The bytes of each residue grouped by their place: first the lowest byte of every residue, then the
// next ... A residue of a small number of words has high bytes of zero, and zstd finds them as runs when
// they are side by side. On that layer of 6x8 this leaves 56.0 % of the bytes instead of 64.2 %.
constexpr std::uint64_t kResidueBytes = 4;

void group(const std::byte* from, std::byte* to, std::uint64_t bytes) {
  const std::uint64_t residues = bytes / kResidueBytes;
  for (std::uint64_t i = 0; i < residues; ++i) {
    for (std::uint64_t b = 0; b < kResidueBytes; ++b) to[b * residues + i] = from[i * kResidueBytes + b];
  }
  std::memcpy(to + residues * kResidueBytes, from + residues * kResidueBytes, bytes % kResidueBytes);
}

void ungroup(const std::byte* from, std::byte* to, std::uint64_t bytes) {
  const std::uint64_t residues = bytes / kResidueBytes;
  for (std::uint64_t i = 0; i < residues; ++i) {
    for (std::uint64_t b = 0; b < kResidueBytes; ++b) to[i * kResidueBytes + b] = from[b * residues + i];
  }
  std::memcpy(to + residues * kResidueBytes, from + residues * kResidueBytes, bytes % kResidueBytes);
}

[[noreturn]] void damaged(const std::string& why) {
  throw std::runtime_error("a layer file is damaged: " + why);
}

struct FreeCompression {
  void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};
struct FreeDecompression {
  void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};

}  // namespace

// What one thread packs and unpacks with: zstd's state, a buffer for a packed piece and one for its bytes
// grouped, made when first needed.
class LayerStore::Worker {
 public:
  // The piece packed, or `data` itself where packing does not make it smaller.
  std::pair<const std::byte*, std::uint64_t> pack(const std::byte* data, std::uint64_t bytes) {
    if (!packer_) {
      packer_.reset(ZSTD_createCCtx());
      if (!packer_ || ZSTD_isError(ZSTD_CCtx_setParameter(packer_.get(), ZSTD_c_compressionLevel, kLevel)))
        throw std::bad_alloc();
    }
    buffer_.resize(std::max<std::size_t>(buffer_.size(), ZSTD_compressBound(bytes)));
    grouped_.resize(std::max<std::size_t>(grouped_.size(), bytes));
    group(data, grouped_.data(), bytes);
    const std::size_t packed =
        ZSTD_compress2(packer_.get(), buffer_.data(), buffer_.size(), grouped_.data(), bytes);
    if (ZSTD_isError(packed) || packed >= bytes) return {data, bytes};
    return {buffer_.data(), packed};
  }

  // Reads a piece into `to` (piece.bytes of room) and checks that it gives back the bytes stored.
  void unpack(const LayerFile& file, const Piece& piece, std::byte* to, const std::atomic<bool>* cancel) {
    if (piece.packed) {
      if (!unpacker_) {
        unpacker_.reset(ZSTD_createDCtx());
        if (!unpacker_) throw std::bad_alloc();
      }
      buffer_.resize(std::max<std::size_t>(buffer_.size(), piece.stored));
      grouped_.resize(std::max<std::size_t>(grouped_.size(), piece.bytes));
      file.read(piece.offset, buffer_.data(), piece.stored, cancel);
      const std::size_t got =
          ZSTD_decompressDCtx(unpacker_.get(), grouped_.data(), piece.bytes, buffer_.data(), piece.stored);
      if (ZSTD_isError(got)) damaged(std::string("a piece does not unpack (") + ZSTD_getErrorName(got) + ")");
      if (got != piece.bytes) damaged("a piece unpacks to another length");
      ungroup(grouped_.data(), to, piece.bytes);
    } else {
      file.read(piece.offset, to, piece.bytes, cancel);
    }
    if (piece.checked && XXH3_64bits(to, piece.bytes) != piece.check) damaged("a piece has changed");
  }

 private:
  std::unique_ptr<ZSTD_CCtx, FreeCompression> packer_;
  std::unique_ptr<ZSTD_DCtx, FreeDecompression> unpacker_;
  std::vector<std::byte> buffer_;
  std::vector<std::byte> grouped_;
};

LayerStore::LayerStore(LayerFile file, std::size_t blocks, std::uint64_t pieceBytes)
    : file_(std::move(file)), pieceBytes_(std::max<std::uint64_t>(1, pieceBytes)), entries_(blocks) {}

LayerStore LayerStore::unpacked(LayerFile file,
                                const std::vector<std::pair<std::uint64_t, std::uint64_t>>& extents) {
  LayerStore store(std::move(file), extents.size());
  for (std::size_t block = 0; block < extents.size(); ++block) {
    const auto [offset, bytes] = extents[block];
    Entry& entry = store.entries_[block];
    entry = Entry{store.pieces_.size(), 0, bytes, true};
    if (bytes == 0) continue;
    Piece piece;
    piece.offset = offset;
    piece.stored = bytes;
    piece.bytes = bytes;
    store.pieces_.push_back(piece);
    entry.count = 1;
    store.end_ = std::max(store.end_, offset + bytes);
    store.blockBytes_ += bytes;
  }
  return store;
}

void LayerStore::put(std::span<const Place> places, unsigned threads, const std::atomic<bool>* cancel) {
  struct Task {
    const std::byte* data;
    std::size_t piece;
  };
  std::vector<Task> tasks;
  for (const Place& place : places) {
    Entry& entry = entries_.at(place.block);
    if (entry.stored) throw std::logic_error("LayerStore: a block is stored twice");
    entry = Entry{pieces_.size(), 0, place.bytes, true};
    for (std::uint64_t within = 0; within < place.bytes; within += pieceBytes_) {
      Piece piece;
      piece.within = within;
      piece.bytes = std::min(pieceBytes_, place.bytes - within);
      tasks.push_back(Task{place.data + within, pieces_.size()});
      pieces_.push_back(piece);
      ++entry.count;
    }
    blockBytes_ += place.bytes;
  }
  order_.clear();
  // Each piece takes the next bytes of the file, in the order in which the threads have packed them.
  std::atomic<std::uint64_t> end{end_};
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    Worker worker;
    for (std::size_t t = next++; t < tasks.size(); t = next++) {
      Piece& piece = pieces_[tasks[t].piece];
      piece.check = XXH3_64bits(tasks[t].data, piece.bytes);
      piece.checked = true;
      const auto [data, stored] = worker.pack(tasks[t].data, piece.bytes);
      piece.packed = data != tasks[t].data;
      piece.stored = stored;
      piece.offset = end.fetch_add(stored);
      file_.write(piece.offset, data, stored, cancel);
    }
  };
  runOnThreads(static_cast<unsigned>(std::clamp<std::size_t>(tasks.size(), 1, std::max(1u, threads))), work);
  end_ = end;
}

const LayerStore::Entry& LayerStore::entryOf(std::uint32_t block, std::uint64_t bytes) const {
  if (block >= entries_.size() || !entries_[block].stored) damaged("a block was never stored");
  const Entry& entry = entries_[block];
  if (entry.bytes != bytes) damaged("a block has another length");
  return entry;
}

void LayerStore::get(std::span<const Place> places, unsigned threads, const std::atomic<bool>* cancel) const {
  std::vector<std::pair<std::byte*, std::size_t>> tasks;  // where a piece goes, and the piece
  for (const Place& place : places) {
    const Entry& entry = entryOf(place.block, place.bytes);
    for (std::size_t p = entry.first; p < entry.first + entry.count; ++p)
      tasks.emplace_back(place.data + pieces_[p].within, p);
  }
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    Worker worker;
    for (std::size_t t = next++; t < tasks.size(); t = next++)
      worker.unpack(file_, pieces_[tasks[t].second], tasks[t].first, cancel);
  };
  runOnThreads(static_cast<unsigned>(std::clamp<std::size_t>(tasks.size(), 1, std::max(1u, threads))), work);
}

void LayerStore::read(std::uint32_t block, std::uint64_t from, std::byte* to, std::uint64_t bytes,
                      const std::atomic<bool>* cancel) const {
  if (block >= entries_.size() || !entries_[block].stored) damaged("a block was never stored");
  const Entry& entry = entries_[block];
  if (from + bytes > entry.bytes) damaged("a block is shorter than what is read of it");
  Worker worker;
  std::vector<std::byte> whole;
  for (std::size_t p = entry.first; p < entry.first + entry.count; ++p) {
    const Piece& piece = pieces_[p];
    const std::uint64_t begin = std::max(from, piece.within);
    const std::uint64_t end = std::min(from + bytes, piece.within + piece.bytes);
    if (begin >= end) continue;
    std::byte* out = to + (begin - from);
    if (!piece.packed && !piece.checked) {
      file_.read(piece.offset + (begin - piece.within), out, end - begin, cancel);
      continue;
    }
    // A piece is unpacked and checked as a whole.
    whole.resize(piece.bytes);
    worker.unpack(file_, piece, whole.data(), cancel);
    std::memcpy(out, whole.data() + (begin - piece.within), end - begin);
  }
}

void LayerStore::release(std::uint32_t block) {
  if (block >= entries_.size() || !entries_[block].stored) return;
  if (order_.size() != pieces_.size()) {
    order_.resize(pieces_.size());
    for (std::size_t p = 0; p < order_.size(); ++p) order_[p] = p;
    std::sort(order_.begin(), order_.end(),
              [&](std::size_t a, std::size_t b) { return pieces_[a].offset < pieces_[b].offset; });
    rank_.resize(pieces_.size());
    for (std::size_t r = 0; r < order_.size(); ++r) rank_[order_[r]] = r;
  }
  const Entry& entry = entries_[block];
  for (std::size_t p = entry.first; p < entry.first + entry.count; ++p) {
    if (pieces_[p].released) continue;
    pieces_[p].released = true;
    releasedBytes_ += pieces_[p].bytes;
    punchFree(p);
  }
}

// Punches the pages of a piece just given back: its whole pages, and the pages it begins or ends in where
// the rest of that page lies in pieces given back before (or beyond the end of the file).
void LayerStore::punchFree(std::size_t p) {
  const Piece& piece = pieces_[p];
  const std::uint64_t page = pageBytes();
  const std::uint64_t begin = piece.offset;
  const std::uint64_t end = piece.offset + piece.stored;
  std::uint64_t first = begin / page * page;
  std::uint64_t last = (end + page - 1) / page * page;
  // Pieces follow each other without gaps in the file, so the neighbours in offset order tell whether the
  // rest of a page is free.
  for (std::size_t r = rank_[p]; first < begin && r-- > 0;) {
    const Piece& other = pieces_[order_[r]];
    if (other.offset + other.stored <= first) break;
    if (!other.released) {
      first += page;
      break;
    }
    if (other.offset <= first) break;
  }
  for (std::size_t r = rank_[p] + 1; last > end && r < order_.size(); ++r) {
    const Piece& other = pieces_[order_[r]];
    if (other.offset >= last) break;
    if (!other.released) {
      last -= page;
      break;
    }
    if (other.offset + other.stored >= last) break;
  }
  if (last > first) file_.punchHole(first, last - first);
}

}  // namespace varno
