// The files seam of the platform the tests run on (POSIX natively, Win32 under Wine).
#include <gtest/gtest.h>

#include "Fakes.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// Everything OpenRead gives in reads of `piece` bytes, or nullopt at a failed read.
std::optional<std::string> ReadInPieces(IReadFile& f, size_t piece) {
  std::string got;
  std::vector<char> buf(piece);
  for (;;) {
    const std::optional<size_t> n = f.Read(buf.data(), piece);
    if (!n) return std::nullopt;
    if (*n == 0) return got;
    EXPECT_LE(*n, piece);
    got.append(buf.data(), *n);
  }
}

TEST(FilesOpenRead, GivesEveryByteInPiecesToTheEnd) {
  TestPlatform tp;
  TempDir dir;
  std::string data;
  for (int i = 0; i < 70000; ++i) data.push_back(static_cast<char>(i * 7 % 256));  // zero bytes, CR, LF, high bytes
  const std::string path = dir.Path("in.bin");
  ASSERT_TRUE(tp.files->WriteAll(path, data));
  for (size_t piece : {3, 4096, 65536, 1 << 20}) {
    std::unique_ptr<IReadFile> f = tp.files->OpenRead(path);
    ASSERT_TRUE(f);
    EXPECT_EQ(ReadInPieces(*f, piece), data) << piece;
    char b;
    EXPECT_EQ(f->Read(&b, 1), 0u) << "the end stays the end";
  }
  ASSERT_TRUE(tp.files->WriteAll(path, ""));
  std::unique_ptr<IReadFile> empty = tp.files->OpenRead(path);
  ASSERT_TRUE(empty);
  EXPECT_EQ(ReadInPieces(*empty, 16), "");
}

TEST(FilesOpenRead, WhatCannotBeReadGivesNoBytes) {
  TestPlatform tp;
  TempDir dir;
  EXPECT_FALSE(tp.files->OpenRead(dir.Path("missing.txt")));
  // A folder either does not open or fails at the first read, as ReadAll fails on it.
  std::unique_ptr<IReadFile> folder = tp.files->OpenRead(dir.Folder());
  EXPECT_TRUE(!folder || !ReadInPieces(*folder, 16));
  EXPECT_FALSE(tp.files->ReadAll(dir.Folder()));
}

}  // namespace
