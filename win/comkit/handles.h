// One owner for every kind of Win32 handle: UniqueHandle<Traits> closes what it holds when it
// goes, and the traits say what a handle is, which value is none and how it is closed. The
// traits here cover what the COM layer and the windows both use: a loaded module, a registry key,
// a menu, a SAFEARRAY, a GDI object and an object selected into a device context.
//
//   UniqueMenu menu(LoadMenuW(...));      // destroyed with `menu`
//   HMENU kept = menu.Detach();           // hands it on: no longer destroyed here
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace win::comkit {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Detach()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Detach());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Type Get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // Closes what is held and takes `handle` instead.
  void Reset(Type handle = Traits::None()) {
    const Type old = std::exchange(handle_, handle);
    if (Traits::Valid(old)) Traits::Close(old);
  }
  // Gives the handle up without closing it.
  Type Detach() { return std::exchange(handle_, Traits::None()); }
  // For out arguments: closes what is held and hands out the slot.
  Type* Put() {
    Reset();
    return &handle_;
  }

 private:
  Type handle_ = Traits::None();
};

// Traits of a handle that is a pointer-like value, null for none.
template <typename Handle, void (*CloseFunction)(Handle)>
struct PointerTraits {
  using Type = Handle;
  static constexpr Type None() { return nullptr; }
  static bool Valid(Type handle) { return handle != nullptr; }
  static void Close(Type handle) { CloseFunction(handle); }
};

namespace handles {
inline void ReleaseLibrary(HMODULE module) { FreeLibrary(module); }
inline void CloseKey(HKEY key) { RegCloseKey(key); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }
inline void DestroySafeArray(SAFEARRAY* array) { SafeArrayDestroy(array); }
template <typename Object>
void DeleteGdiObject(Object object) {
  DeleteObject(object);
}
}  // namespace handles

using UniqueLibrary = UniqueHandle<PointerTraits<HMODULE, handles::ReleaseLibrary>>;
using UniqueKey = UniqueHandle<PointerTraits<HKEY, handles::CloseKey>>;
using UniqueMenu = UniqueHandle<PointerTraits<HMENU, handles::DestroyMenuHandle>>;
using UniqueSafeArray = UniqueHandle<PointerTraits<SAFEARRAY*, handles::DestroySafeArray>>;
template <typename Object>
using UniqueGdi = UniqueHandle<PointerTraits<Object, handles::DeleteGdiObject<Object>>>;

// An object selected into a device context and what it replaced, which comes back when the
// selection ends.
struct Selection {
  HDC dc;
  HGDIOBJ previous;
};
struct SelectionTraits {
  using Type = Selection;
  static constexpr Type None() { return {nullptr, nullptr}; }
  static bool Valid(const Type& selection) { return selection.dc != nullptr; }
  static void Close(const Type& selection) { SelectObject(selection.dc, selection.previous); }
};
using UniqueSelection = UniqueHandle<SelectionTraits>;

// Selects `object` into `dc` until the result goes.
inline UniqueSelection SelectInto(HDC dc, HGDIOBJ object) {
  return UniqueSelection(Selection{dc, SelectObject(dc, object)});
}

}  // namespace win::comkit
