// Layers packed on disk: blocks of many pieces, packed and not, read back whole and in parts; their disk
// space goes back page by page; a kept layer is read where it lies; a damaged piece is an error, never a
// wrong content.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "counting/layerstore.h"
#include "counting/temporarydirectory.h"

namespace varno {
namespace {

using testing::TemporaryDirectory;

// Bytes of a block: a few residues among zeros, which zstd packs, or noise, which it cannot.
std::vector<std::byte> blockOf(std::size_t bytes, bool noise, unsigned seed) {
  std::vector<std::byte> data(bytes);
  std::mt19937 random(seed);
  for (std::size_t i = 0; i < bytes; ++i)
    data[i] = static_cast<std::byte>(noise || i % 97 == 0 ? random() : 0);
  return data;
}

struct Opened {
  std::string path;
  LayerStore store;
};

Opened open(const TemporaryDirectory& directory, const std::string& name, std::size_t blocks,
            std::uint64_t pieceBytes) {
  const std::string path = directory.path() + "/" + name;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  return {path, LayerStore(LayerFile::adopt(fd), blocks, pieceBytes)};
}

std::uint64_t allocatedBytes(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

// Whether the file system gives the pages of a hole back.
bool punchesHoles(const std::string& path) {
  LayerFile file = LayerFile::adopt(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  const std::vector<std::byte> pages(16384, std::byte{1});
  file.write(0, pages.data(), pages.size(), nullptr);
  file.punchHole(0, pages.size());
  return allocatedBytes(path) == 0;
}

TEST(LayerStoreTest, BlocksComeBackWholeAndInPartsAndTheirPagesGoBack) {
  const TemporaryDirectory directory;
  // Pieces of 5000 bytes: a block of one cell, one of four packed pieces, one of three that stay as they
  // are; pieces end within pages, and a page holds parts of several.
  auto [path, store] = open(directory, "layer", 3, 5000);
  const std::vector<std::vector<std::byte>> blocks = {blockOf(4, true, 1), blockOf(20000, false, 2),
                                                      blockOf(12000, true, 3)};
  auto places = [&](std::vector<std::vector<std::byte>>& data, const std::vector<std::uint32_t>& which) {
    std::vector<LayerStore::Place> list;
    list.reserve(which.size());
    for (std::uint32_t block : which) list.push_back({block, data[block].data(), data[block].size()});
    return list;
  };
  auto written = blocks;
  store.put(places(written, {0}), 1, nullptr);
  store.put(places(written, {1, 2}), 3, nullptr);
  EXPECT_LT(store.storedBytes(), store.blockBytes() - 10000);  // the packed block shrinks
  auto back = std::vector<std::vector<std::byte>>{std::vector<std::byte>(4), std::vector<std::byte>(20000),
                                                  std::vector<std::byte>(12000)};
  store.get(places(back, {2, 0, 1}), 2, nullptr);
  EXPECT_EQ(back, blocks);
  // Parts across the end of a piece, packed and not.
  for (const auto& [block, from, bytes] : {std::tuple{1u, 4990u, 20u}, std::tuple{2u, 4999u, 5002u}}) {
    std::vector<std::byte> part(bytes);
    store.read(block, from, part.data(), bytes, nullptr);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), blocks[block].begin() + from)) << block;
  }
  // Given back in an order that leaves shared pages to the last piece that holds a part of them: the
  // blocks left still read alike, and in the end no page remains (where the file system has holes).
  EXPECT_EQ(store.heldBytes(), 32004u);
  store.release(1);
  store.release(1);
  EXPECT_EQ(store.heldBytes(), 12004u);
  back[1] = blocks[1];
  store.get(places(back, {0, 2}), 1, nullptr);
  EXPECT_EQ(back, blocks);
  store.release(0);
  store.release(2);
  EXPECT_EQ(store.heldBytes(), 0u);
  if (punchesHoles(directory.path() + "/probe")) {
    EXPECT_EQ(allocatedBytes(path), 0u);
  }
  // A kept layer lies unpacked where its extents say; a part of a block is read from within it.
  const std::string keptPath = directory.path() + "/kept";
  LayerFile file = LayerFile::adopt(::open(keptPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  file.write(0, blocks[2].data(), blocks[2].size(), nullptr);
  const LayerStore kept = LayerStore::unpacked(std::move(file), {{7000, 5000}, {3, 20}});
  std::vector<std::byte> part(30);
  kept.read(0, 4990, part.data(), 10, nullptr);
  kept.read(1, 0, part.data() + 10, 20, nullptr);
  EXPECT_TRUE(std::equal(part.begin(), part.begin() + 10, blocks[2].begin() + 11990));
  EXPECT_TRUE(std::equal(part.begin() + 10, part.end(), blocks[2].begin() + 3));
}

TEST(LayerStoreTest, ADamagedPieceIsAnError) {
  const TemporaryDirectory directory;
  // How the file is damaged after a block of one piece, packed or not, was stored.
  const std::vector<std::pair<const char*, std::function<void(int fd, off_t size)>>> damages = {
      {"a byte changed", [](int fd, off_t size) { ASSERT_EQ(::pwrite(fd, "\x5a", 1, size / 2), 1); }},
      {"cut short", [](int fd, off_t size) { ASSERT_EQ(::ftruncate(fd, size - 1), 0); }},
  };
  int name = 0;
  for (const auto& [damage, apply] : damages) {
    for (const bool noise : {false, true}) {
      SCOPED_TRACE(std::string(damage) + (noise ? ", not packed" : ", packed"));
      auto [path, store] = open(directory, std::to_string(name++), 1, 1 << 20);
      auto data = blockOf(8000, noise, 4);
      const LayerStore::Place place{0, data.data(), data.size()};
      store.put({&place, 1}, 1, nullptr);
      EXPECT_EQ(store.storedBytes() < 8000, !noise);
      const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
      apply(fd, static_cast<off_t>(store.storedBytes()));
      ::close(fd);
      std::vector<std::byte> back(8000);
      const LayerStore::Place into{0, back.data(), back.size()};
      EXPECT_THROW(store.get({&into, 1}, 1, nullptr), std::runtime_error);
      EXPECT_THROW(store.read(0, 0, back.data(), 1, nullptr), std::runtime_error);
    }
  }
}

}  // namespace
}  // namespace varno
