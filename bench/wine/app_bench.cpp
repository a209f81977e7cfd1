// Whole-program figures under Wine, each measured side by side in one run:
//   startup_vs_minimal  korvane.exe from process start to its window shown, over the same for a
//                       minimal program that shows one empty window (this program, restarted
//                       with --minimal-window)
//   import_vs_decode    a dropped 24-megapixel JPEG from the got-file handler's start to the
//                       picture box showing it, over the bare decode of the same bytes
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>

#include <jpeglib.h>
#include <cstring>
#include <string>
#include <vector>

#include "app/handlers.h"
#include "app/main_window_win32.h"
#include "app/window_definition.h"
#include "picture/picture.h"
#include "picture/scaler.h"
#include "services/file_io.h"
#include "tests/native/jpeg_writer.h"

namespace {

double now_ms() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string own_path() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

LRESULT CALLBACK minimal_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

int run_minimal_window() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = minimal_procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KorvaneBenchMinimal";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, "Minimal", WS_OVERLAPPEDWINDOW, 100, 100, 163, 306, nullptr,
                           nullptr, wc.hInstance, nullptr);
  ShowWindow(w, SW_SHOW);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}

// Milliseconds from CreateProcess to a visible top-level window with this class and title.
double time_to_window(const std::string& command, const char* class_name, const char* title) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = command;
  const double start = now_ms();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  double shown = -1;
  while (now_ms() - start < 20000) {
    HWND w = FindWindowA(class_name, title);
    if (w && IsWindowVisible(w)) {
      shown = now_ms() - start;
      PostMessageA(w, WM_CLOSE, 0, 0);
      break;
    }
    Sleep(1);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return shown;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void startup_vs_minimal() {
  const std::string folder = own_path().substr(0, own_path().rfind('\\') + 1);
  const std::string korvane = "\"" + folder + "..\\korvane.exe\"";
  const std::string minimal = "\"" + own_path() + "\" --minimal-window";
  std::vector<double> k, m;
  for (int i = 0; i < 5; ++i) {  // alternated, so that both see the same machine
    k.push_back(time_to_window(korvane, "WTWindow", "Korvane"));
    m.push_back(time_to_window(minimal, "KorvaneBenchMinimal", "Minimal"));
  }
  std::printf("startup_vs_minimal: %.2f\n", median(k) / median(m));
  std::printf("startup_korvane_ms: %.0f\n", median(k));
  std::printf("startup_minimal_ms: %.0f\n", median(m));
}

// A photo-like JPEG: smooth gradients with fine texture.
std::vector<uint8_t> photo_like_jpeg(int width, int height) {
  uint32_t seed = 12345;
  return korvane::test::write_jpeg(width, height, 90, false, [&](int y, uint8_t* row) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>(seed >> 28) - 8;
      row[3 * x] = static_cast<uint8_t>(std::clamp(x * 255 / width + noise, 0, 255));
      row[3 * x + 1] = static_cast<uint8_t>(std::clamp(y * 255 / height + noise, 0, 255));
      row[3 * x + 2] = static_cast<uint8_t>(std::clamp(128 + ((x / 40 + y / 40) % 2) * 60 + noise, 0, 255));
    }
  });
}

void pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

void import_vs_decode() {
  using namespace korvane;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "korvane-bench-photo.jpg";
  const std::vector<uint8_t> jpeg = photo_like_jpeg(6000, 4000);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, jpeg.data(), static_cast<DWORD>(jpeg.size()), &written, nullptr);
  CloseHandle(f);

  OleInitialize(nullptr);
  std::optional<WindowDefinition> definition = read_window_definition(stored_window_definition());
  std::unique_ptr<MainWindow> window = definition ? MainWindow::build(*definition) : nullptr;
  if (!window) {
    std::printf("import_vs_decode: failed\n");
    return;
  }
  pump();
  HWND box = window->window_handle(kPictureBoxId);
  std::vector<double> imports, decodes, reads, sets, shows, scales;
  for (int i = 0; i < 3; ++i) {
    double t0 = now_ms();
    run_handler(kGotFileHandler, *window, path.c_str());
    UpdateWindow(box);  // the paint that shows it
    imports.push_back(now_ms() - t0);
    window->write_bytes_property(kPictureBoxId, kPictureProperty, ByteSpan{});
    UpdateWindow(box);
    pump();

    t0 = now_ms();
    Bytes bytes = read_file(path.c_str());
    reads.push_back(now_ms() - t0);
    t0 = now_ms();
    window->write_bytes_property(kPictureBoxId, kPictureProperty, bytes.span());
    sets.push_back(now_ms() - t0);
    UpdateWindow(box);
    shows.push_back(now_ms() - t0);
    window->write_bytes_property(kPictureBoxId, kPictureProperty, ByteSpan{});
    UpdateWindow(box);
    pump();

    t0 = now_ms();
    std::optional<DecodedPicture> decoded = decode_picture(ByteSpan{jpeg.data(), jpeg.size()});
    decodes.push_back(now_ms() - t0);
    if (decoded) {
      std::vector<uint8_t> out(150 * 150 * 4);
      const ptrdiff_t stride = static_cast<ptrdiff_t>(decoded->width) * 3;
      ImageView source{decoded->pixels.bytes.get() + (decoded->height - 1) * stride, decoded->width, decoded->height,
                       -stride, 3};
      MutableImageView target{out.data(), 150, 150, 600, 4};
      t0 = now_ms();
      scale_area_average(source, target);
      scales.push_back(now_ms() - t0);
    }
  }
  std::printf("import_vs_decode: %.2f\n", median(imports) / median(decodes));
  std::printf("import_24mp_ms: %.0f\n", median(imports));
  std::printf("decode_24mp_ms: %.0f\n", median(decodes));
  std::printf("import_read_file_ms: %.0f\n", median(reads));
  std::printf("import_set_picture_ms: %.0f\n", median(sets));
  std::printf("scale_24mp_one_thread_ms: %.0f\n", median(scales));
  std::printf("import_set_and_paint_ms: %.0f\n", median(shows));
  window.reset();
  DeleteFileA(path.c_str());
  OleUninitialize();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--minimal-window") == 0) return run_minimal_window();
  startup_vs_minimal();
  import_vs_decode();
  return 0;
}
