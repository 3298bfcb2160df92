// What this process holds of the system's (GDI and USER objects, heap blocks, private bytes), so
// that a test can show what a run leaves behind. Wine 8 answers GetGuiResources and PrivateUsage
// with 0: the objects are counted by walking the handle tables (GDI indexes GetObjectType takes;
// USER handles of menus, icons, cursors and accelerators; the windows, message-only ones too),
// and the private bytes are PagefileUsage. A measurement allocates nothing.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <cstring>

namespace wintest {

struct ProcessResources {
  int gdi = 0;
  int user = 0;
  uint64_t private_bytes = 0;
  // Heap blocks, less the records that the version 6 common controls of Wine keep for every
  // control given the font of a dialog, after the dialog is gone: 24 bytes, a font handle no longer
  // valid (type 0x0A in bits 16 to 23), then zeros.
  int64_t heap_blocks = 0;
};

// A window of this process and every window inside it.
inline BOOL CALLBACK CountWindow(HWND window, LPARAM user) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(user);
  EnumChildWindows(
      window, [](HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; }, user);
  return TRUE;
}

inline ProcessResources MeasureProcessResources() {
  ProcessResources counts;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    counts.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  }
  const LPARAM user = reinterpret_cast<LPARAM>(&counts.user);
  EnumWindows(CountWindow, user);
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountWindow(window, user);
  }
  // user32's export for animated cursors answers any icon or cursor handle and creates nothing.
  using FrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);
  const auto frame_info = reinterpret_cast<FrameInfo>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetCursorFrameInfo")));
  for (ULONG_PTR value = 0x20; value < 0xFFF0; value += 2) {  // USER handles are even
    DWORD rate = 0, steps = 0;
    counts.user +=
        IsMenu(reinterpret_cast<HMENU>(value)) ||
        CopyAcceleratorTableW(reinterpret_cast<HACCEL>(value), nullptr, 0) > 0 ||
        (frame_info && frame_info(reinterpret_cast<HCURSOR>(value), 0, 0, &rate, &steps));
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    counts.private_bytes = memory.PagefileUsage;
  }
  HANDLE heaps[64];
  const DWORD heap_count = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < heap_count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heaps[i], &entry)) {
      if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) continue;
      uint64_t words[3] = {};
      if (entry.cbData == 24) std::memcpy(words, entry.lpData, sizeof words);
      counts.heap_blocks +=
          entry.cbData != 24 || words[1] != 0 || words[2] != 0 || (words[0] >> 32) != 0 ||
          ((words[0] >> 16) & 0xFF) != 0x0A ||
          GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(words[0]))) != 0;
    }
    HeapUnlock(heaps[i]);
  }
  return counts;
}

}  // namespace wintest
