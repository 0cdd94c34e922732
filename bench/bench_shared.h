// What the benchmark's Windows programs (driver, floor, target) agree on:
// names of the shared objects, class names, control ids and the record in
// which a target window reports when its style was overwritten.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

namespace bench {

constexpr LONG kBorderlessStyle = 0x16020000;
// The style a target window starts with, and is given back between rounds.
constexpr LONG kTargetStyle = static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE);

// Shared record, written by the target window's thread.
struct SharedRecord {
  volatile LONGLONG styleChangedQpc;  // QueryPerformanceCounter at WM_STYLECHANGED
  volatile LONG styleChanges;         // how many times the borderless style arrived
  volatile LONG crowdWindows;         // windows made by a crowd process
};

constexpr char kSharedName[] = "TaldorisBenchShared";
constexpr char kStyleEventName[] = "TaldorisBenchStyleChanged";  // auto-reset
constexpr char kQuitEventName[] = "TaldorisBenchQuit";           // manual-reset
constexpr char kReadySemaphoreName[] = "TaldorisBenchReady";     // one release per ready helper

constexpr char kTargetClass[] = "TaldorisBenchTarget";
constexpr char kCrowdClass[] = "TaldorisBenchCrowd";
constexpr char kHiddenClass[] = "TaldorisBenchHidden";
constexpr char kFloorClass[] = "TaldorisBenchFloor";

// The floor's controls carry the ids of the tool's controls that play the
// same part: the probe's labels, the edit box and the button.
constexpr int kIdLabel6 = 1106;
constexpr int kIdLabel8 = 1108;
constexpr int kIdEdit1 = 1201;
constexpr int kIdButton1 = 1301;

// Opens (or makes) the shared record; null when it cannot be had.
inline SharedRecord* OpenSharedRecord() {
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(SharedRecord), kSharedName);
  if (mapping == nullptr) return nullptr;
  return static_cast<SharedRecord*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedRecord)));
}

inline LONGLONG QpcNow() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

inline double QpcToMs(LONGLONG ticks) {
  static LONGLONG frequency = 0;
  if (frequency == 0) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency = f.QuadPart;
  }
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

}  // namespace bench
