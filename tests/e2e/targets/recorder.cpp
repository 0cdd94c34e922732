// Stands in for a messenger client in the test prefix: registered as the
// handler of the tencent link protocol, it appends its command line as one
// line to contact-calls.txt beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr) return 1;
  std::strcpy(slash + 1, "contact-calls.txt");
  // Several calls may land at once: retry while another one holds the file.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const char* line = GetCommandLineA();
      DWORD written = 0;
      WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
      WriteFile(file, "\r\n", 2, &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}
