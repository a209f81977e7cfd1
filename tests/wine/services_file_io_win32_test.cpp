#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/file_io.h"
#include "support/test_paths.h"

using namespace korvane;

namespace {

class FileIo : public ::testing::Test {
 protected:
  // A fresh folder per test, so that a leftover file of one test cannot hide in another's.
  void SetUp() override {
    folder_ = test::scratch_folder() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    folder_ += "\\";
  }
  void TearDown() override { set_write_budget_for_testing(-1); }

  std::string path(const char* name) const { return folder_ + name; }

  static void put(const std::string& name, const std::string& content) {
    HANDLE f = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(f);
  }

  static std::string contents_of(const std::string& name) {
    Bytes b = read_file(name.c_str());
    return std::string(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.size()));
  }

  static bool exists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

  // Names in the folder other than the test's own files: a leftover temporary file shows here.
  std::vector<std::string> folder_listing() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      std::string n = found.cFileName;
      if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
  }

  static std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return v;
  }

  static ByteSpan span(const std::vector<uint8_t>& v) { return ByteSpan{v.data(), v.size()}; }

  std::string folder_;
};

}  // namespace

TEST_F(FileIo, ReadMissingAndEmptyNamesGiveMissing) {
  EXPECT_TRUE(read_file(path("absent.bin").c_str()).missing());
  EXPECT_TRUE(read_file("").missing());
  EXPECT_TRUE(read_file(nullptr).missing());
  EXPECT_TRUE(read_file(folder_.c_str()).missing());  // a folder
}

TEST_F(FileIo, ReadEmptyFileGivesMissing) {
  put(path("empty.bin"), "");
  EXPECT_TRUE(read_file(path("empty.bin").c_str()).missing());
}

TEST_F(FileIo, ReadGivesTheWholeContent) {
  std::vector<uint8_t> data = pattern(100000, 3);
  put(path("whole.bin"), std::string(data.begin(), data.end()));
  Bytes b = read_file(path("whole.bin").c_str());
  ASSERT_EQ(b.size(), 100000);
  EXPECT_EQ(std::vector<uint8_t>(b.data(), b.data() + b.size()), data);
}

TEST_F(FileIo, ReadWhileSharedForReadingWorksButHeldForWritingFails) {
  put(path("shared.bin"), "picture");
  HANDLE reader = CreateFileA(path("shared.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(contents_of(path("shared.bin")), "picture");
  CloseHandle(reader);

  HANDLE writer = CreateFileA(path("shared.bin").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(read_file(path("shared.bin").c_str()).missing());
  CloseHandle(writer);
}

TEST_F(FileIo, ReadOfDevicesGivesMissingWithoutBlocking) {
  EXPECT_TRUE(read_file("NUL").missing());
  EXPECT_TRUE(read_file("CONIN$").missing());
}

TEST_F(FileIo, TwoContentsAreWrittenBackToBack) {
  std::vector<uint8_t> first = pattern(67854, 1), second = pattern(14994, 99);
  ASSERT_EQ(write_file(path("avatar.bmp").c_str(), {span(first), span(second)}), 1);
  Bytes b = read_file(path("avatar.bmp").c_str());
  ASSERT_EQ(b.size(), 82848);
  EXPECT_EQ(std::vector<uint8_t>(b.data(), b.data() + 67854), first);
  EXPECT_EQ(std::vector<uint8_t>(b.data() + 67854, b.data() + 82848), second);
  EXPECT_EQ(folder_listing(), std::vector<std::string>{"avatar.bmp"});
}

TEST_F(FileIo, OverwritingALongerFileLeavesExactlyTheNewContent) {
  put(path("old.bmp"), std::string(5000, 'o'));
  std::vector<uint8_t> fresh = pattern(10, 5);
  ASSERT_EQ(write_file(path("old.bmp").c_str(), {span(fresh)}), 1);
  EXPECT_EQ(contents_of(path("old.bmp")), std::string(fresh.begin(), fresh.end()));
}

TEST_F(FileIo, EmptyContentsCreateOrEmptyTheFile) {
  ASSERT_EQ(write_file(path("none.bin").c_str(), {}), 1);
  EXPECT_TRUE(exists(path("none.bin")));
  put(path("emptied.bin"), "old");
  ASSERT_EQ(write_file(path("emptied.bin").c_str(), {ByteSpan{}, ByteSpan{}}), 1);
  WIN32_FILE_ATTRIBUTE_DATA info;
  ASSERT_TRUE(GetFileAttributesExA(path("emptied.bin").c_str(), GetFileExInfoStandard, &info));
  EXPECT_EQ(info.nFileSizeLow, 0u);
}

TEST_F(FileIo, WriteWithEmptyNameOrIntoMissingFolderChangesNothing) {
  std::vector<uint8_t> data = pattern(10, 0);
  EXPECT_EQ(write_file("", {span(data)}), 0);
  EXPECT_EQ(write_file(nullptr, {span(data)}), 0);
  EXPECT_EQ(write_file(path("no-such-folder\\a.bmp").c_str(), {span(data)}), 0);
  EXPECT_FALSE(exists(path("no-such-folder")));
  EXPECT_TRUE(folder_listing().empty());
}

TEST_F(FileIo, TargetHeldOpenElsewhereIsLeftAsItWas) {
  put(path("held.bmp"), "earlier avatar");
  std::vector<uint8_t> data = pattern(100, 0);
  struct Case { const char* how; DWORD access; DWORD share; };
  const Case cases[] = {
      {"read, sharing everything", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {"read, sharing reading", GENERIC_READ, FILE_SHARE_READ},
      {"write, sharing nothing", GENERIC_WRITE, 0},
  };
  for (const Case& c : cases) {
    HANDLE other = CreateFileA(path("held.bmp").c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.how;
    EXPECT_EQ(write_file(path("held.bmp").c_str(), {span(data)}), 0) << c.how;
    CloseHandle(other);
    EXPECT_EQ(contents_of(path("held.bmp")), "earlier avatar") << c.how;
    EXPECT_EQ(folder_listing(), std::vector<std::string>{"held.bmp"}) << c.how;
  }
}

TEST_F(FileIo, WriteThatFailsPartWayKeepsTheEarlierFile) {
  put(path("full.bmp"), "earlier avatar");
  std::vector<uint8_t> first = pattern(67854, 1), second = pattern(14994, 2);
  // The disk fills up during the second content.
  set_write_budget_for_testing(67854 + 5000);
  EXPECT_EQ(write_file(path("full.bmp").c_str(), {span(first), span(second)}), 0);
  EXPECT_EQ(contents_of(path("full.bmp")), "earlier avatar");
  EXPECT_EQ(folder_listing(), std::vector<std::string>{"full.bmp"});

  // A first write that fails on a new name leaves no file at all.
  set_write_budget_for_testing(0);
  EXPECT_EQ(write_file(path("new.bmp").c_str(), {span(first)}), 0);
  EXPECT_FALSE(exists(path("new.bmp")));
  EXPECT_EQ(folder_listing(), std::vector<std::string>{"full.bmp"});
}

TEST_F(FileIo, ChineseNamesInCodePage936) {
  std::vector<uint8_t> data = pattern(64, 9);
  const std::string name = path("2024年5月6日7时8分9秒.bmp");
  ASSERT_EQ(write_file(name.c_str(), {span(data)}), 1);
  EXPECT_EQ(contents_of(name), std::string(data.begin(), data.end()));
}
