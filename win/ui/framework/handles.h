// Owners of the window-system handles that the framework windows use: those from comkit (menus,
// GDI objects, objects selected into a device context) and icons and image lists.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/comkit/handles.h"

namespace win::ui {

using win::comkit::SelectInto;
using win::comkit::UniqueGdi;
using win::comkit::UniqueMenu;
using win::comkit::UniqueSelection;

namespace handles {
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DestroyImageList(HIMAGELIST list) { ImageList_Destroy(list); }
}  // namespace handles

using UniqueIcon =
    win::comkit::UniqueHandle<win::comkit::PointerTraits<HICON, handles::DestroyIconHandle>>;
using UniqueImageList =
    win::comkit::UniqueHandle<win::comkit::PointerTraits<HIMAGELIST, handles::DestroyImageList>>;

}  // namespace win::ui
