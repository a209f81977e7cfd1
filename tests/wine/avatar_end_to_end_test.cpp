// The whole job, driven from outside as a user would: korvane.exe is started, its buttons are
// clicked, its dialogs filled in and confirmed, its message boxes read and closed, and the
// avatar files it writes are read back and checked pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/badge_picture.h"
#include "picture/picture.h"
#include "services/date_time.h"
#include "support/app_driver.h"
#include "support/box_window.h"
#include "support/picture_files.h"
#include "support/test_paths.h"
#include "support/unix_programs.h"

namespace korvane::test {
namespace {

constexpr int kImportButton = 110;
constexpr int kGenerateButton = 130;
constexpr int kPictureBox = 120;
constexpr int kFileNameEdit = 0x480;   // edt1 in the platform's file dialog
constexpr int kFileNameCombo = 0x47C;  // cmb13 in newer file dialogs

const uint8_t kBoxHeader[54] = {0x42, 0x4D, 0x0E, 0x09, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
                                0x28, 0x00, 0x00, 0x00, 0x96, 0x00, 0x00, 0x00, 0x96, 0x00, 0x00, 0x00, 0x01, 0x00,
                                0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD8, 0x08, 0x01, 0x00};
const uint8_t kBadgeHeader[54] = {0x42, 0x4D, 0x92, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
                                  0x28, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x53, 0x00, 0x00, 0x00, 0x01, 0x00,
                                  0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5C, 0x3A, 0x00, 0x00};

std::vector<uint8_t> read_all(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void write_all(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint32_t read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The pixels of a 24-bit bottom-up BMP file image, top row first.
ClientPixels pixels_of_bmp(const uint8_t* bmp) {
  ClientPixels out;
  out.width = static_cast<int32_t>(read32(bmp + 18));
  out.height = static_cast<int32_t>(read32(bmp + 22));
  const int stride = (out.width * 3 + 3) & ~3;
  for (int y = 0; y < out.height; ++y) {
    const uint8_t* row = bmp + 54 + static_cast<size_t>(out.height - 1 - y) * stride;
    for (int x = 0; x < out.width; ++x)
      out.rgb.push_back(uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x]);
  }
  return out;
}

const ClientPixels& badge_picture() {
  static const ClientPixels badge = pixels_of_bmp(kBadgePicture);
  return badge;
}
constexpr uint32_t kMagenta = 0xFF00FF;

// What the box shows for a picture: our scaler's 150 x 150 result with the phone body over it.
ClientPixels expected_frame(const std::vector<uint8_t>& picture_file) {
  std::optional<DecodedPicture> decoded = decode_picture(ByteSpan{picture_file.data(), picture_file.size()});
  ClientPixels frame;
  if (decoded) {
    const ptrdiff_t stride = static_cast<ptrdiff_t>(decoded->width) * 3;
    ImageView source{decoded->pixels.bytes.get() + (decoded->height - 1) * stride, decoded->width, decoded->height,
                     -stride, 3};
    frame = expected_scaled(source, 150, 150);
  } else {
    frame.width = frame.height = 150;
    frame.rgb.assign(150 * 150, 0xFFFFFF);
  }
  for (int y = 0; y < 79; ++y)
    for (int x = 0; x < 56; ++x)
      if (badge_picture().at(x, y) != kMagenta) frame.rgb[(71 + y) * 150 + 94 + x] = badge_picture().at(x, y);
  return frame;
}

class AvatarEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_folder();
    ASSERT_TRUE(program_.started());
    main_ = program_.wait_for_window("WTWindow", "Korvane");
    ASSERT_NE(main_, nullptr);
    program_.settle();
  }
  void TearDown() override {
    if (IsWindow(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
  }

  void click(int id) { PostMessageA(find_child_by_id(main_, id), BM_CLICK, 0, 0); }

  HWND wait_for_dialog() { return program_.wait_for_other_window("#32770", main_); }

  static HWND name_box(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) {
      if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
      return combo;
    }
    return GetDlgItem(dialog, kFileNameEdit);
  }

  // Waits for the file dialog, returns what its name box proposed, then types `name` and
  // confirms (or cancels when `name` is null).
  std::string answer_file_dialog(const char* name) {
    HWND dialog = wait_for_dialog();
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return "";
    HWND box = nullptr;
    for (int i = 0; i < 200 && !(box = name_box(dialog)); ++i) Sleep(20);
    // The dialog fills its name box while it comes up.
    std::string proposed;
    for (int i = 0; i < 100 && (proposed = window_text(box)).empty(); ++i) Sleep(20);
    if (name) {
      type_name(box, name);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    } else {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    }
    for (int i = 0; i < 250 && IsWindow(dialog); ++i) Sleep(20);
    program_.settle();
    return proposed;
  }

  // Types the name into the dialog's name box as a user would, and makes sure it is still there
  // a moment later: while the dialog fills its file list it may put a listed file's name into the
  // box on its own.
  void type_name(HWND box, const std::string& name) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
      Sleep(300);
      if (window_text(box) == name) return;
    }
    ADD_FAILURE() << "the name box does not keep " << name;
  }

  struct Box {
    std::string title;
    std::string text;
  };
  // Waits for the program's message box, reads it and closes it with OK.
  Box answer_message_box() {
    HWND box = wait_for_dialog();
    EXPECT_NE(box, nullptr);
    if (!box) return {};
    program_.settle();
    Box seen{window_text(box), message_box_text(box)};
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
    program_.settle();
    return seen;
  }

  // No dialog or box comes up within a moment.
  bool nothing_shown() { return program_.wait_for_other_window("#32770", main_, 700) == nullptr; }

  void import_through_dialog(const std::string& path) {
    click(kImportButton);
    answer_file_dialog(path.c_str());
  }

  // Clicks generate, confirms `name` in the save dialog and returns the message box.
  Box generate(const std::string& name, std::string* proposed = nullptr) {
    click(kGenerateButton);
    std::string shown = answer_file_dialog(name.c_str());
    if (proposed) *proposed = shown;
    return answer_message_box();
  }

  std::string picture_file(const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = folder_ + name;
    write_all(path, bytes);
    return path;
  }

  // Drops the files on the main window from outside, over XDND, as a Linux file manager does;
  // Wine hands the drop to the window's OLE drop target.
  void drop(const std::vector<std::string>& windows_paths) {
#ifdef KORVANE_XDND_DROP_TOOL
    std::vector<std::string> command = {KORVANE_XDND_DROP_TOOL, "--title", "Korvane", "--x", "70", "--y", "70",
                                        "--timeout", "20"};
    for (const std::string& p : windows_paths) command.push_back(unix_path(p));
    EXPECT_EQ(run_unix(command), 0);
    program_.settle();
    Sleep(300);
#else
    (void)windows_paths;
    GTEST_SKIP() << "xdnd-drop not built";
#endif
  }

  RunningProgram program_;
  HWND main_ = nullptr;
  std::string folder_;
};

// Checks an avatar file against the frame it must hold.
void expect_avatar(const std::vector<uint8_t>& file, const ClientPixels& frame) {
  ASSERT_EQ(file.size(), 82848u);
  ASSERT_EQ(std::memcmp(file.data(), kBoxHeader, 54), 0);
  const uint32_t second = read32(file.data() + 2);
  ASSERT_EQ(second, 67854u);
  ASSERT_EQ(std::memcmp(file.data() + second, kBadgeHeader, 54), 0);
  ClientPixels first_image = pixels_of_bmp(file.data());
  EXPECT_EQ(differing_pixels(first_image, frame), 0);
  // The badge alone: the phone body, the box's own drawing in its left and top margins and
  // notches, and the main window's button face beside the box.
  ClientPixels badge = pixels_of_bmp(file.data() + second);
  const uint32_t face = GetSysColor(COLOR_BTNFACE);
  const uint32_t face_rgb = (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF);
  int wrong = 0;
  for (int y = 0; y < 83; ++y) {
    for (int x = 0; x < 60; ++x) {
      const uint32_t p = badge.at(x, y);
      if (p == kMagenta) ++wrong;
      if (x < 56 && y < 79 && p != frame.at(94 + x, 71 + y)) ++wrong;
      if (x >= 56 && y < 80 && p != face_rgb) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(AvatarEndToEnd, GenerateBeforeImportIsRefused) {
  click(kGenerateButton);
  Box box = answer_message_box();
  EXPECT_EQ(box.title, "错误:");
  EXPECT_EQ(box.text, "图片为空!");
  EXPECT_TRUE(nothing_shown());
}

TEST_F(AvatarEndToEnd, ImportThenGenerateWritesBothImages) {
  const std::vector<uint8_t> jpeg = jpeg_file_of(patterned_image(300, 200));
  const std::string picture = picture_file("photo.jpg", jpeg);
  import_through_dialog(picture);

  std::string proposed;
  const double before = current_time();
  Box box = generate(folder_ + "avatar", &proposed);
  const double after = current_time();
  EXPECT_TRUE(proposed == date_time_text(before).c_str() || proposed == date_time_text(after).c_str())
      << proposed << " / " << date_time_text(before).c_str();
  EXPECT_EQ(proposed.find('.'), std::string::npos);
  EXPECT_EQ(box.title, "成功:") << box.text;
  // The dialog completes a name confirmed without an extension.
  const std::string prefix = "生成成功!文件已保存到\r\n" + folder_ + "avatar.";
  ASSERT_EQ(box.text.compare(0, prefix.size(), prefix), 0) << box.text;
  const std::string saved = box.text.substr(box.text.find("\r\n") + 2);
  expect_avatar(read_all(saved), expected_frame(jpeg));

  // A name ending in .jpg still holds the two BMP images.
  box = generate(folder_ + "second.jpg");
  EXPECT_EQ(box.text, "生成成功!文件已保存到\r\n" + folder_ + "second.jpg");
  expect_avatar(read_all(folder_ + "second.jpg"), expected_frame(jpeg));
}

TEST_F(AvatarEndToEnd, CancelledDialogsChangeNothing) {
  const std::vector<uint8_t> bmp = bmp_file_of(patterned_image(100, 50));
  import_through_dialog(picture_file("first.bmp", bmp));

  // A cancelled save writes nothing and shows nothing.
  click(kGenerateButton);
  answer_file_dialog(nullptr);
  EXPECT_TRUE(nothing_shown());

  // A cancelled second import keeps the first picture and its path.
  click(kImportButton);
  const std::string proposed_again = answer_file_dialog(nullptr);
  EXPECT_TRUE(proposed_again == folder_ + "first.bmp" || proposed_again == "first.bmp") << proposed_again;
  Box box = generate(folder_ + "kept.bmp");
  EXPECT_EQ(box.title, "成功:");
  expect_avatar(read_all(folder_ + "kept.bmp"), expected_frame(bmp));
}

TEST_F(AvatarEndToEnd, UndecodablePictureStillGeneratesAWhiteFrame) {
  import_through_dialog(picture_file("fake.bmp", png_file_start()));
  generate(folder_ + "white.bmp");
  expect_avatar(read_all(folder_ + "white.bmp"), expected_frame({}));
}

TEST_F(AvatarEndToEnd, AFailedWriteIsReportedAndKeepsTheEarlierFile) {
  import_through_dialog(picture_file("p.bmp", bmp_file_of(patterned_image(150, 150))));
  const std::string target = folder_ + "held.bmp";
  const std::vector<uint8_t> earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  write_all(target, earlier);
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  click(kGenerateButton);
  HWND dialog = wait_for_dialog();
  ASSERT_NE(dialog, nullptr);
  program_.settle();
  for (int i = 0; i < 100 && window_text(name_box(dialog)).empty(); ++i) Sleep(20);
  type_name(name_box(dialog), target);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  // The dialog asks before replacing an existing file: answer yes.
  HWND question = nullptr;
  for (int i = 0; i < 250; ++i) {
    HWND w = program_.wait_for_other_window("#32770", main_, 100);
    if (w && w != dialog) {
      question = w;
      break;
    }
    Sleep(20);
  }
  if (question) {
    program_.settle();
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
  }
  for (int i = 0; i < 250 && IsWindow(dialog); ++i) Sleep(20);
  Box box = answer_message_box();
  CloseHandle(held);
  EXPECT_EQ(box.title, "错误:");
  EXPECT_EQ(box.text, "保存失败!文件未能写入\r\n" + target);
  EXPECT_EQ(read_all(target), earlier);
}

TEST_F(AvatarEndToEnd, DroppedPicturesWithTheRightExtensionLoadInAnyLetterCase) {
  const std::vector<uint8_t> jpeg = jpeg_file_of(patterned_image(150, 150));
  drop({picture_file("dropped.JPG", jpeg)});
  Box box = generate(folder_ + "from-jpg.bmp");
  EXPECT_EQ(box.title, "成功:");
  expect_avatar(read_all(folder_ + "from-jpg.bmp"), expected_frame(jpeg));

  // Recognised by content: BMP bytes under a .Gif name load as the BMP they are.
  const std::vector<uint8_t> bmp = bmp_file_of(patterned_image(100, 50));
  drop({picture_file("second.Gif", bmp)});
  generate(folder_ + "from-gif.bmp");
  expect_avatar(read_all(folder_ + "from-gif.bmp"), expected_frame(bmp));
}

TEST_F(AvatarEndToEnd, DropsWithOtherNamesOrSeveralFilesAreIgnored) {
  const std::vector<uint8_t> jpeg = jpeg_file_of(patterned_image(64, 64));
  CreateDirectoryA((folder_ + "my.pics").c_str(), nullptr);
  drop({picture_file("a.jpeg", jpeg)});
  drop({picture_file("b.png", jpeg)});
  drop({picture_file("nodot", jpeg)});
  drop({picture_file("my.pics\\photo", jpeg)});
  drop({picture_file("c.jpg", jpeg), picture_file("d.jpg", jpeg), picture_file("e.jpg", jpeg)});
  // No path was recorded: generation still refuses.
  click(kGenerateButton);
  Box box = answer_message_box();
  EXPECT_EQ(box.text, "图片为空!");
}

TEST_F(AvatarEndToEnd, DroppedBmpHoldingPngDataRecordsThePathAndShowsWhite) {
  drop({picture_file("really-png.bmp", png_file_start())});
  Box box = generate(folder_ + "from-png.bmp");
  EXPECT_EQ(box.title, "成功:");
  expect_avatar(read_all(folder_ + "from-png.bmp"), expected_frame({}));
}

TEST_F(AvatarEndToEnd, EscapeEndsTheProgramWithStatusZero) {
  press_key(program_, find_child_by_id(main_, kImportButton), VK_ESCAPE);
  EXPECT_EQ(program_.wait_for_exit(), 0u);
}

}  // namespace
}  // namespace korvane::test
