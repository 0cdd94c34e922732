// A library laid into a copy of the tool's folder under the name of a library
// that the tool's process loads: if it is ever loaded, it appends its own
// path and the path of the program that loaded it as one line to
// planted-dll-loaded.txt beside itself. It does nothing else.
#include <windows.h>

#include <cstring>

namespace {

void Record(HINSTANCE self) {
  char own[MAX_PATH];
  DWORD n = GetModuleFileNameA(self, own, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  char path[MAX_PATH];
  std::memcpy(path, own, n + 1);
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || (slash - path) + sizeof("planted-dll-loaded.txt") >= sizeof(path)) return;
  std::strcpy(slash + 1, "planted-dll-loaded.txt");
  char host[MAX_PATH];
  DWORD hostLength = GetModuleFileNameA(nullptr, host, MAX_PATH);
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, own, n, &written, nullptr);
  WriteFile(file, " in ", 4, &written, nullptr);
  if (hostLength > 0 && hostLength < MAX_PATH) WriteFile(file, host, hostLength, &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Record(self);
  return TRUE;
}
