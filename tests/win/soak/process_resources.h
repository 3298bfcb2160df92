// What this process holds of the system's: its GDI objects, its USER objects, the blocks its
// heaps have allocated and its private bytes, so that a long run can show what it leaves behind.
// A measurement allocates nothing, so that the measurements a test keeps do not count in the next.
//
// Wine 8 does not implement GetGuiResources (it answers 0 with ERROR_CALL_NOT_IMPLEMENTED, so a
// comparison of its counts always passes) and leaves PrivateUsage at 0. There the counts come
// from the process's own handle tables: every GDI handle index GetObjectType accepts, and every
// USER handle that is a menu, an icon or cursor or an accelerator table, plus the process's
// windows, message-only ones included. A handle value without its generation bits names
// whatever object has that index, which is what a walk wants. Hooks are not counted. The private
// bytes are PagefileUsage, which Windows documents as the same commit charge and Wine fills from
// the process's anonymous memory.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace soaktest {

// The kinds a walk tells apart.
enum GdiKind { kPen, kBrush, kDc, kPalette, kFont, kBitmap, kRegion, kOtherGdi, kGdiKinds };
enum UserKind { kWindow, kMenu, kIcon, kAccelerators, kUserKinds };
inline const char* const kGdiKindNames[kGdiKinds] = {"pen",  "brush",  "dc",     "palette",
                                                     "font", "bitmap", "region", "other"};
inline const char* const kUserKindNames[kUserKinds] = {"window", "menu", "icon", "accelerators"};

struct ProcessResources {
  DWORD gdi = 0;
  DWORD user = 0;
  // By kind where the counts come from a walk; all zero otherwise.
  std::array<int, kGdiKinds> gdi_kinds = {};
  std::array<int, kUserKinds> user_kinds = {};
  uint64_t private_bytes = 0;
  // The blocks the process's heaps hold allocated, and how many of them are the records Wine's
  // version 6 common controls leave behind (below).
  uint64_t heap_blocks = 0;
  uint64_t wine_font_records = 0;
};

namespace detail {

inline GdiKind KindOf(DWORD type) {
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return kPen;
    case OBJ_BRUSH:
      return kBrush;
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_METADC:
    case OBJ_ENHMETADC:
      return kDc;
    case OBJ_PAL:
      return kPalette;
    case OBJ_FONT:
      return kFont;
    case OBJ_BITMAP:
      return kBitmap;
    case OBJ_REGION:
      return kRegion;
    default:
      return kOtherGdi;
  }
}

inline void CountGdi(ProcessResources& counts) {
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
    if (type == 0) continue;
    ++counts.gdi;
    ++counts.gdi_kinds[KindOf(type)];
  }
}

inline void AddUser(ProcessResources& counts, UserKind kind) {
  ++counts.user;
  ++counts.user_kinds[kind];
}

inline void CountWindow(HWND window, ProcessResources& counts) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return;
  AddUser(counts, kWindow);
  EnumChildWindows(
      window,
      [](HWND, LPARAM param) {
        AddUser(*reinterpret_cast<ProcessResources*>(param), kWindow);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&counts));
}

inline void CountUser(ProcessResources& counts) {
  EnumWindows(
      [](HWND window, LPARAM param) {
        CountWindow(window, *reinterpret_cast<ProcessResources*>(param));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&counts));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountWindow(window, counts);
  }
  // Exported by user32 for animated cursors; it answers the first frame of any icon or cursor
  // handle and null for anything else, and creates nothing (GetIconInfo would copy bitmaps).
  using FrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);
  const auto frame_info = reinterpret_cast<FrameInfo>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetCursorFrameInfo")));
  // USER handles are even values from 0x20 up; the index is the handle's low word.
  for (ULONG_PTR value = 0x20; value < 0xFFF0; value += 2) {
    DWORD rate = 0, steps = 0;
    if (IsMenu(reinterpret_cast<HMENU>(value))) {
      AddUser(counts, kMenu);
    } else if (CopyAcceleratorTableW(reinterpret_cast<HACCEL>(value), nullptr, 0) > 0) {
      AddUser(counts, kAccelerators);
    } else if (frame_info && frame_info(reinterpret_cast<HCURSOR>(value), 0, 0, &rate, &steps)) {
      AddUser(counts, kIcon);
    }
  }
}

inline uint64_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    return 0;
  }
  return memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
}

// Wine 8's version 6 common controls keep a 24-byte record for every control given a dialog's
// font, naming the font and nothing else, after the dialog and its font are gone: four to twelve
// a dialog. They are told apart by their shape: a font handle that no longer names a font
// (its type in bits 16 to 23), then zeros.
inline bool IsWineFontRecord(const void* data, DWORD size) {
  if (size != 24) return false;
  uint64_t words[3];
  std::memcpy(words, data, sizeof words);
  const auto handle = reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(words[0]));
  return words[1] == 0 && words[2] == 0 && (words[0] >> 32) == 0 &&
         ((words[0] >> 16) & 0xFF) == 0x0A && GetObjectType(handle) == 0;
}

inline void CountHeaps(ProcessResources& counts) {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heaps[i], &entry)) {
      if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) continue;
      ++counts.heap_blocks;
      if (IsWineFontRecord(entry.lpData, entry.cbData)) ++counts.wine_font_records;
    }
    HeapUnlock(heaps[i]);
  }
}

}  // namespace detail

inline ProcessResources MeasureProcessResources() {
  ProcessResources counts;
  const HANDLE process = GetCurrentProcess();
  SetLastError(ERROR_SUCCESS);
  counts.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  if (counts.gdi == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    detail::CountGdi(counts);
    detail::CountUser(counts);
  } else {
    counts.user = GetGuiResources(process, GR_USEROBJECTS);
  }
  counts.private_bytes = detail::PrivateBytes();
  detail::CountHeaps(counts);
  return counts;
}

// What changed between two measurements, kind by kind ("bitmap +2, menu +1"); empty when nothing
// did or the counts have no kinds.
template <size_t N>
std::string KindChanges(const std::array<int, N>& before, const std::array<int, N>& after,
                        const char* const (&names)[N]) {
  std::string text;
  for (size_t kind = 0; kind < N; ++kind) {
    const int change = after[kind] - before[kind];
    if (change == 0) continue;
    text += (text.empty() ? "" : ", ") + std::string(names[kind]) + (change > 0 ? " +" : " ") +
            std::to_string(change);
  }
  return text;
}
inline std::string GdiChanges(const ProcessResources& before, const ProcessResources& after) {
  return KindChanges(before.gdi_kinds, after.gdi_kinds, kGdiKindNames);
}
inline std::string UserChanges(const ProcessResources& before, const ProcessResources& after) {
  return KindChanges(before.user_kinds, after.user_kinds, kUserKindNames);
}

}  // namespace soaktest
