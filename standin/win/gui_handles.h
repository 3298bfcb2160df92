// Owners of the window system's handles the IDE window keeps: menus, GDI objects and image
// lists, each destroyed with its owner unless handed on.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace standin::win {

template <typename Handle, typename Result, Result(WINAPI* Destroy)(Handle)>
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
    if (handle_) Destroy(handle_);
    handle_ = handle;
  }
  Handle Release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

template <typename Object>
BOOL WINAPI DeleteGdiObject(Object object) {
  return DeleteObject(object);
}

using UniqueMenu = UniqueHandle<HMENU, BOOL, DestroyMenu>;
using UniqueImageList = UniqueHandle<HIMAGELIST, BOOL, ImageList_Destroy>;
template <typename Object>
using UniqueGdi = UniqueHandle<Object, BOOL, DeleteGdiObject<Object>>;

}  // namespace standin::win
