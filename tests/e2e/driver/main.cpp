// The end-to-end driver: registers the test prefix's handler of the tencent
// link protocol (the suite's recorder) and runs the tests.
#include <gtest/gtest.h>

#include <string>

#include "desktop.h"
#include "tool.h"

namespace {

bool SetDefault(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const bool ok = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(h);
  return ok;
}

bool RegisterRecorder() {
  const std::string command = "\"" + e2e::DriverDir() + "e2e_recorder.exe\" \"%1\"";
  return SetDefault(HKEY_CLASSES_ROOT, "tencent", nullptr, "URL:tencent Protocol") &&
         SetDefault(HKEY_CLASSES_ROOT, "tencent", "URL Protocol", "") &&
         SetDefault(HKEY_CLASSES_ROOT, "tencent\\shell\\open\\command", nullptr, command);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!RegisterRecorder()) {
    std::fprintf(stderr, "e2e: cannot register the tencent protocol handler\n");
    return 2;
  }
  if (GetFileAttributesA(e2e::ToolPath().c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "e2e: no tool at %s\n", e2e::ToolPath().c_str());
    return 2;
  }
  e2e::EndLeftovers();
  const int result = RUN_ALL_TESTS();
  e2e::EndLeftovers();
  return result;
}
