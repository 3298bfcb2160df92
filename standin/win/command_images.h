// Copies of the bitmaps add-ins hand the host with AddCommandImages, by the image slot the host
// gave them, so that the toolbar shows them whatever becomes of the add-in's resource module.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "win/ui/framework/handles.h"

namespace standin::win {

using ::win::ui::UniqueGdi;

class CommandImages {
 public:
  // Copies the module's two bitmaps into the slot; one that cannot be loaded is left out (the
  // host application has told the log about bitmaps the module lacks).
  void Add(int32_t slot, HMODULE module, LONG large_bitmap, LONG small_bitmap);
  // Null when the slot holds no such bitmap.
  HBITMAP Small(int32_t slot) const;
  HBITMAP Large(int32_t slot) const;

 private:
  struct Pair {
    UniqueGdi<HBITMAP> large;
    UniqueGdi<HBITMAP> small;
  };
  std::map<int32_t, Pair> slots_;
};

}  // namespace standin::win
