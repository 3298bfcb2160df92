// BenchFloor.dll: one creatable class that does nothing. Its registry script runs through the
// registrar as the scripts of the add-in's classes do, with the same threading model, so that
// the load benchmark's floor pays for COM activations along the same path as the connection,
// and for nothing else.
#include <windows.h>

#include <array>

#include "win/comkit/class_factory.h"
#include "win/comkit/module.h"
#include "win/comkit/self_registration.h"

namespace {

// {8E629B40-FA77-49CB-8D44-12EF2FE60721}
const CLSID kFloorClass = {
    0x8E629B40, 0xFA77, 0x49CB, {0x8D, 0x44, 0x12, 0xEF, 0x2F, 0xE6, 0x07, 0x21}};
constexpr UINT kFloorScript = 101;

class FloorObject : public IUnknown {
 public:
  FloorObject() { win::comkit::ModuleLock(); }
  virtual ~FloorObject() { win::comkit::ModuleUnlock(); }

  static HRESULT Create(IUnknown* outer, REFIID iid, void** out) {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) FloorObject();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

 private:
  LONG refs_ = 1;
};

const std::array<win::comkit::ClassEntry, 1> kClasses = {{
    {&kFloorClass, L"Object", kFloorScript, L"Both", false, &FloorObject::Create},
}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return win::comkit::ModuleDllMain(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return win::comkit::GetClassObject(kClasses.data(), kClasses.size(), clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return win::comkit::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return win::comkit::RegisterScripts({kFloorScript});
}
