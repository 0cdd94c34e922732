// Laid into a copy of the tool's folder under the name cmd.exe (or of any
// program that must not be started from there): when started, it appends its
// own path and command line as one line to planted-ran.txt beside itself and
// ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  char path[MAX_PATH];
  std::memcpy(path, self, n + 1);
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || (slash - path) + sizeof("planted-ran.txt") >= sizeof(path)) return 1;
  std::strcpy(slash + 1, "planted-ran.txt");
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, self, n, &written, nullptr);
      WriteFile(file, " ", 1, &written, nullptr);
      const char* line = GetCommandLineA();
      WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
      WriteFile(file, "\r\n", 2, &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}
