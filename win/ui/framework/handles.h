// One small owner per Win32 user-interface resource: GDI objects, menus, icons, image lists and
// activation contexts.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace win::ui {

template <typename Handle, typename Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (Handle old = std::exchange(handle_, handle)) Close()(old);
  }
  Handle Release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

struct CloseGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct CloseMenu {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct CloseIcon {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CloseImageList {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};

using UniqueMenu = UniqueHandle<HMENU, CloseMenu>;
using UniqueIcon = UniqueHandle<HICON, CloseIcon>;
using UniqueImageList = UniqueHandle<HIMAGELIST, CloseImageList>;
template <typename Object>
using UniqueGdi = UniqueHandle<Object, CloseGdiObject>;

}  // namespace win::ui
