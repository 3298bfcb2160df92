// The class object of each creatable class. Class objects live as long as the module; their
// LockServer counts towards the module's lock count.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "win/com/class_table.h"

namespace win::com {

class ClassFactory : public IClassFactory {
 public:
  // The one class object of a class.
  static ClassFactory& For(const ClassEntry& entry);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}
  const ClassEntry& entry_;
};

}  // namespace win::com
