// The add-ins' command images.
#include "standin/win/command_images.h"

namespace standin::win {

void CommandImages::Add(int32_t slot, HMODULE module, LONG large_bitmap, LONG small_bitmap) {
  auto load = [module](LONG id) {
    return UniqueGdi<HBITMAP>(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  };
  Pair& pair = slots_[slot];
  pair.large = load(large_bitmap);
  pair.small = load(small_bitmap);
}

HBITMAP CommandImages::Small(int32_t slot) const {
  const auto found = slots_.find(slot);
  return found == slots_.end() ? nullptr : found->second.small.Get();
}

HBITMAP CommandImages::Large(int32_t slot) const {
  const auto found = slots_.find(slot);
  return found == slots_.end() ? nullptr : found->second.large.Get();
}

}  // namespace standin::win
