// Every automation door of the add-in under hostile arguments. The methods come from the type
// library, so a method added later is covered without a new line here: every method of every
// interface that takes a BSTR or a VARIANT is called through its vtable with null, empty, 64K,
// NUL-holding, line-breaking and non-ANSI texts, and with VARIANTs of the types it does not take,
// and through IDispatch with every hostile VARIANT in each text or VARIANT position. Nothing may
// crash; every answer must be one the method documents (or the dispatch layer's type refusal);
// a refused call leaves no COM error information behind (the classes fill none: the host's log
// carries the reasons); and at the end the add-in gives back every reference and can unload.
#include <windows.h>

#include <psapi.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/win/addin/addin_test_support.h"
#include "tests/win/reliability/hostile_values.h"
#include "win/comkit/dispatch_call.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using addintest::UniqueBstr;
using addintest::UniqueVariant;
using reliability::HostileTexts;
using reliability::HostileVariants;

// One parameter of a method as the type library describes it.
struct Param {
  VARTYPE vt;       // VT_PTR for pointers
  VARTYPE pointee;  // what a pointer points at (VT_PTR again for an interface pointer)
  bool out;         // [out] or [in, out]
  bool retval;      // [out, retval]: the result of a call through IDispatch
};

struct Method {
  std::string name;  // "ITriggerAction.DeleteTrigger", "ITransferTrigger.put_Source"
  MEMBERID id;
  INVOKEKIND kind;
  SHORT vtable_offset;
  std::vector<Param> params;
  bool takes_text_or_variant = false;
};

// The methods of an interface, from the vtable half of its dual type information.
std::vector<Method> MethodsOf(REFIID iid, const char* interface_name) {
  std::vector<Method> methods;
  ComPtr<ITypeLib> library;
  if (FAILED(LoadRegTypeLib(LIBID_Trigger, 1, 0, LOCALE_NEUTRAL, library.Put()))) return methods;
  ComPtr<ITypeInfo> info;
  if (FAILED(library->GetTypeInfoOfGuid(iid, info.Put()))) return methods;
  TYPEATTR* attributes = nullptr;
  info->GetTypeAttr(&attributes);
  const bool dispatch_half = attributes->typekind == TKIND_DISPATCH;
  info->ReleaseTypeAttr(attributes);
  if (dispatch_half) {
    HREFTYPE vtable_half = 0;
    ComPtr<ITypeInfo> interface_info;
    if (FAILED(info->GetRefTypeOfImplType(-1, &vtable_half)) ||
        FAILED(info->GetRefTypeInfo(vtable_half, interface_info.Put()))) {
      return methods;
    }
    info = std::move(interface_info);
  }
  info->GetTypeAttr(&attributes);
  const WORD count = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  for (WORD i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    BSTR name = nullptr;
    UINT names = 0;
    info->GetNames(function->memid, &name, 1, &names);
    Method method;
    const char* prefix = function->invkind == INVOKE_PROPERTYGET   ? "get_"
                         : function->invkind == INVOKE_PROPERTYPUT ? "put_"
                                                                   : "";
    method.name = std::string(interface_name) + "." + prefix + addintest::Narrow(name);
    SysFreeString(name);
    method.id = function->memid;
    method.kind = function->invkind;
    method.vtable_offset = function->oVft;
    for (SHORT p = 0; p < function->cParams; ++p) {
      const ELEMDESC& element = function->lprgelemdescParam[p];
      const USHORT flags = element.paramdesc.wParamFlags;
      Param param{element.tdesc.vt, VT_EMPTY, (flags & PARAMFLAG_FOUT) != 0,
                  (flags & PARAMFLAG_FRETVAL) != 0};
      if (param.vt == VT_PTR) param.pointee = element.tdesc.lptdesc->vt;
      if ((param.vt == VT_BSTR || param.vt == VT_VARIANT) && !param.out) {
        method.takes_text_or_variant = true;
      }
      method.params.push_back(param);
    }
    info->ReleaseFuncDesc(function);
    methods.push_back(std::move(method));
  }
  return methods;
}

// The out-arguments of one call, released afterwards whatever they received.
class OutArguments {
 public:
  void* Make(VARTYPE pointee) {
    slots_.emplace_back();
    Slot& slot = slots_.back();
    slot.pointee = pointee;
    VariantInit(&slot.variant);
    return pointee == VT_VARIANT ? static_cast<void*>(&slot.variant) : &slot.bits;
  }
  // Whether every out-argument holds what its type allows: a BSTR, a VARIANT that VariantClear
  // accepts.
  ~OutArguments() {
    for (Slot& slot : slots_) {
      switch (slot.pointee) {
        case VT_BSTR:
          SysFreeString(reinterpret_cast<BSTR>(slot.bits));
          break;
        case VT_VARIANT:
          EXPECT_HR(S_OK, VariantClear(&slot.variant));
          break;
        case VT_PTR:  // an interface pointer
        case VT_UNKNOWN:
        case VT_DISPATCH:
          if (slot.bits) reinterpret_cast<IUnknown*>(slot.bits)->Release();
          break;
        default:
          break;
      }
    }
  }

 private:
  struct Slot {
    VARTYPE pointee;
    ULONG_PTR bits = 0;
    VARIANT variant;
  };
  std::vector<Slot> slots_;  // reserved before use: pointers into it are handed out
 public:
  OutArguments() { slots_.reserve(16); }
};

// Calls a method through its vtable. Text parameters get `text`, VARIANT parameters `variant`,
// numbers 0, flags VARIANT_FALSE, interface parameters null.
HRESULT CallThroughVtable(IUnknown* object, const Method& method, BSTR text, const VARIANT& variant,
                          bool null_pointers = false) {
  std::vector<VARIANTARG> values(method.params.size());
  std::vector<VARTYPE> types(method.params.size());
  std::vector<VARIANTARG*> pointers(method.params.size());
  OutArguments outs;
  VARIANT copy = variant;  // passed by value: the callee must not change the caller's
  for (size_t i = 0; i < method.params.size(); ++i) {
    const Param& param = method.params[i];
    VARIANTARG& value = values[i];
    VariantInit(&value);
    V_UI8(&value) = 0;
    pointers[i] = &value;
    if (param.vt == VT_PTR) {
      types[i] = VT_UI8;
      V_UI8(&value) = null_pointers ? 0 : reinterpret_cast<ULONG_PTR>(outs.Make(param.pointee));
    } else if (param.vt == VT_BSTR) {
      types[i] = VT_BSTR;
      V_VT(&value) = VT_BSTR;
      V_BSTR(&value) = text;
    } else if (param.vt == VT_VARIANT) {
      types[i] = VT_VARIANT;
      pointers[i] = &copy;
    } else {
      types[i] = VT_UI8;  // numbers and flags: 0
    }
  }
  VARIANT result;
  VariantInit(&result);
  const HRESULT call =
      DispCallFunc(object, method.vtable_offset, CC_STDCALL, VT_ERROR,
                   static_cast<UINT>(values.size()), types.data(), pointers.data(), &result);
  EXPECT_HR(S_OK, call) << method.name;
  return V_ERROR(&result);
}

// Invokes a method through IDispatch with `value` in every text and VARIANT position.
HRESULT CallThroughDispatch(IDispatch* object, const Method& method, const VARIANT& value,
                            UINT* arg_error) {
  std::vector<VARIANTARG> args;
  OutArguments outs;
  for (const Param& param : method.params) {
    VARIANTARG arg;
    VariantInit(&arg);
    if (param.retval) continue;  // it comes back as the result
    if (param.vt == VT_BSTR || param.vt == VT_VARIANT) {
      arg = value;
    } else if (param.vt == VT_PTR) {
      V_VT(&arg) = VT_I4 | VT_BYREF;  // the one [in, out] number
      V_I4REF(&arg) = static_cast<LONG*>(outs.Make(VT_I4));
    } else {
      V_VT(&arg) = VT_I4;
      V_I4(&arg) = 0;
    }
    args.push_back(arg);
  }
  std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  WORD flags = DISPATCH_METHOD;
  if (method.kind == INVOKE_PROPERTYPUT) {
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  } else if (method.kind == INVOKE_PROPERTYGET) {
    flags = DISPATCH_PROPERTYGET;
  }
  UniqueVariant result;
  *arg_error = ~0u;
  return win::comkit::InvokeWithParams(object, method.id, flags, &params, result.Get(), arg_error);
}

bool LeftErrorInfo() {
  ComPtr<IErrorInfo> info;
  return GetErrorInfo(0, info.Put()) == S_OK && info;
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

struct Door {
  const char* interface_name;
  const IID* iid;
  ComPtr<IUnknown> object;
};

class ComDoorsTest : public addintest::AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_EQ(Connect(), 0);
    ASSERT_HR(S_OK, LoadTriggers());
    registry_ = Registry();
    ASSERT_TRUE(registry_);
    // The export writes beside the test: a folder of its own.
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    folder_ = std::wstring(folder) + L"com_doors";
    CreateDirectoryW(folder_.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, folder);
    previous_folder_ = folder;
    SetCurrentDirectoryW(folder_.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(previous_folder_.c_str());
    registry_.Reset();
    AddinTest::TearDown();
  }

  // The registry, the add-in's three classes and one loaded trigger of every kind.
  std::vector<Door> Doors() {
    std::vector<Door> doors;
    auto add = [&](const char* name, const IID& iid, IUnknown* object) {
      ComPtr<IUnknown> typed;
      if (object == nullptr || FAILED(object->QueryInterface(iid, typed.PutVoid()))) {
        ADD_FAILURE() << "no " << name;
        return;
      }
      doors.push_back({name, &iid, std::move(typed)});
    };
    add("ITriggerAction", IID_ITriggerAction, registry_.Get());
    const std::pair<const char*, const IID*> kinds[] = {
        {"IInterruptTrigger", &IID_IInterruptTrigger},
        {"IIOAccessTrigger", &IID_IIOAccessTrigger},
        {"IIOStreamTrigger", &IID_IIOStreamTrigger},
        {"ITransferTrigger", &IID_ITransferTrigger},
        {"IStreamTrigger", &IID_IStreamTrigger},
        {"IConnectTrigger", &IID_IConnectTrigger},
        {"IMessageTrigger", &IID_IMessageTrigger},
        {"IControlTrigger", &IID_IControlTrigger},
        {"ISioTrigger", &IID_ISioTrigger},
        {"IFileStreamTrigger", &IID_IFileStreamTrigger},
    };
    // The sample holds one trigger of every kind, in slots 0 to 12.
    for (const auto& [name, iid] : kinds) {
      bool found = false;
      for (LONG slot = 0; slot < 13 && !found; ++slot) {
        ComPtr<IUnknown> trigger;
        if (FAILED(registry_->GetTriggerByNumber(slot, trigger.Put())) || !trigger) continue;
        ComPtr<IUnknown> typed;
        if (SUCCEEDED(trigger->QueryInterface(*iid, typed.PutVoid()))) {
          add(name, *iid, typed.Get());
          found = true;
        }
      }
      if (!found) ADD_FAILURE() << "the sample has no " << name;
    }
    for (const auto& [name, clsid, iid] :
         {std::make_tuple("ICommand", &CLSID_Command, &__uuidof(ICommand)),
          std::make_tuple("IConnect", &CLSID_Connect, &IID_IConnect),
          std::make_tuple("IVersion", &CLSID_Version, &IID_IVersion)}) {
      ComPtr<IUnknown> object;
      EXPECT_HR(S_OK,
                CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, *iid, object.PutVoid()));
      add(name, *iid, object.Get());
    }
    return doors;
  }

  ComPtr<ITriggerAction> registry_;
  std::wstring folder_;
  std::wstring previous_folder_;
};

// The answers a method may give a text or VARIANT it cannot use: the contract's S_OK, the
// bridge's 1 and E_FAIL. Anything else (an exception caught at the boundary, a failed
// conversion) is a fault.
bool DocumentedAnswer(HRESULT hr) { return hr == S_OK || hr == S_FALSE || hr == E_FAIL; }

TEST_F(ComDoorsTest, EveryTextAndVariantDoorAnswersHostileArgumentsThroughItsVtable) {
  const HostileTexts texts;
  const HostileVariants variants;
  UniqueVariant plain;  // for the VARIANT parameters of text calls: an empty value
  UniqueBstr none;
  int methods = 0, calls = 0;
  for (const Door& door : Doors()) {
    for (const Method& method : MethodsOf(*door.iid, door.interface_name)) {
      if (!method.takes_text_or_variant) continue;
      ++methods;
      for (const auto& [what, text] : texts.all()) {
        SCOPED_TRACE(method.name + " with " + what);
        SetErrorInfo(0, nullptr);
        const HRESULT hr = CallThroughVtable(door.object.Get(), method, text, *plain.Get());
        ++calls;
        EXPECT_TRUE(DocumentedAnswer(hr)) << comtest::Hex(hr);
        EXPECT_FALSE(LeftErrorInfo());
      }
      const bool takes_variant = std::any_of(method.params.begin(), method.params.end(),
                                             [](const Param& p) { return p.vt == VT_VARIANT; });
      if (!takes_variant) continue;
      for (const auto& [what, variant] : variants.all()) {
        SCOPED_TRACE(method.name + " with " + what);
        SetErrorInfo(0, nullptr);
        const HRESULT hr = CallThroughVtable(door.object.Get(), method, none.Get(), *variant);
        ++calls;
        EXPECT_TRUE(DocumentedAnswer(hr)) << comtest::Hex(hr);
        EXPECT_FALSE(LeftErrorInfo());
      }
    }
  }
  // Every interface's doors were found: 13 on the registry, 3 to 8 on each kind, one on the
  // command object.
  EXPECT_GE(methods, 60) << "methods taking a text or a VARIANT";
  std::printf("[ doors    ] %d methods, %d calls through the vtable\n", methods, calls);
}

TEST_F(ComDoorsTest, EveryTextAndVariantDoorAnswersHostileVariantsThroughIDispatch) {
  const HostileVariants variants;
  int calls = 0;
  for (const Door& door : Doors()) {
    ComPtr<IDispatch> dispatch;
    ASSERT_HR(S_OK, door.object.As(IID_IDispatch, &dispatch));
    for (const Method& method : MethodsOf(*door.iid, door.interface_name)) {
      if (!method.takes_text_or_variant) continue;
      for (const auto& [what, variant] : variants.all()) {
        SCOPED_TRACE(method.name + " with " + what);
        UINT arg_error = 0;
        const HRESULT hr = CallThroughDispatch(dispatch.Get(), method, *variant, &arg_error);
        ++calls;
        // A text parameter takes what converts to a text; the dispatch layer refuses the rest
        // (a type it cannot convert, a reference it will not follow). A VARIANT parameter takes
        // everything to the method, which answers as documented.
        EXPECT_TRUE(DocumentedAnswer(hr) || hr == DISP_E_TYPEMISMATCH || hr == DISP_E_BADVARTYPE ||
                    hr == DISP_E_PARAMNOTFOUND || hr == E_INVALIDARG)
            << comtest::Hex(hr);
        (void)arg_error;
      }
    }
  }
  std::printf("[ doors    ] %d calls through IDispatch\n", calls);
}

TEST_F(ComDoorsTest, EveryMethodRefusesANullPointerForItsResults) {
  UniqueBstr text(SysAllocString(L"tick"));
  UniqueVariant plain;
  int methods = 0;
  for (const Door& door : Doors()) {
    for (const Method& method : MethodsOf(*door.iid, door.interface_name)) {
      const bool has_pointer = std::any_of(method.params.begin(), method.params.end(),
                                           [](const Param& p) { return p.vt == VT_PTR; });
      if (!has_pointer) continue;
      ++methods;
      SCOPED_TRACE(method.name);
      const HRESULT hr =
          CallThroughVtable(door.object.Get(), method, text.Get(), *plain.Get(), true);
      // QueryStatus of another command than the add-in's leaves the status untouched and answers
      // S_OK, as it always does; the numbers here are 0.
      if (method.name == "ICommand.QueryStatus") {
        EXPECT_HR(S_OK, hr);
        continue;
      }
      EXPECT_TRUE(hr == E_POINTER || hr == E_INVALIDARG) << comtest::Hex(hr);
    }
  }
  ComPtr<ICommand> command;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Command, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ICommand),
                                   command.PutVoid()));
  EXPECT_HR(E_POINTER, command->QueryStatus(54201, nullptr, 0));
  EXPECT_GE(methods, 100) << "getters and methods with results";
}

TEST_F(ComDoorsTest, HostileTextsGetTheDocumentedAnswers) {
  const HostileTexts texts;
  for (const auto& [what, text] : texts.all()) {
    SCOPED_TRACE(what);
    LONG number = 7;
    EXPECT_HR(S_OK, registry_->FindNumberByName(text, &number));
    EXPECT_EQ(number, -1) << "no trigger bears such a name";
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry_->FindTrigger(text, found.Put()));
    EXPECT_FALSE(found);
    EXPECT_HR(E_FAIL, registry_->DeleteTrigger(text));
    EXPECT_HR(E_FAIL, registry_->Command0102(text));
    // A text that begins with a number other than 0 is a source number, beyond the table here;
    // any other text is a name no source has, which leaves the caller's value.
    LONG code = 0x1234;
    EXPECT_HR(S_OK, registry_->ResolveInterruptSource(text, &code));
    const bool numeral = text != nullptr && text[0] >= L'1' && text[0] <= L'9';
    EXPECT_EQ(code, numeral ? -1 : 0x1234);
    UniqueVariant adapter;
    EXPECT_HR(E_FAIL, registry_->CreateTriggerByKeyword(text, adapter.Get()));
    EXPECT_EQ(V_VT(adapter.Get()), VT_EMPTY);
    ComPtr<ICommand> command;
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_Command, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(ICommand), command.PutVoid()));
    ComPtr<IDispatch> named;
    EXPECT_HR(S_OK, command->GetObject(text, named.Put()));
    EXPECT_FALSE(named);
  }
  LONG count = 0;
  ASSERT_HR(S_OK, registry_->get_Count(&count));
  EXPECT_EQ(count, 13) << "nothing was created or deleted";
}

TEST_F(ComDoorsTest, AnExportPathIsTakenWholeOrRefused) {
  struct Case {
    const char* name;
    std::wstring path;
    HRESULT result;
    const wchar_t* written;  // the file that exists afterwards, null for none
  };
  const Case cases[] = {
      // A NUL would cut the path short of its extension: "list.dat" would be overwritten.
      {"NUL before the extension", std::wstring(L"list.dat\0.txt", 13), E_FAIL, nullptr},
      {"NUL in a name without a dot", std::wstring(L"list\0more", 9), E_FAIL, nullptr},
      {"no dot", L"plain", S_OK, L"plain.txt"},
      {"another extension", L"list.csv", E_FAIL, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(L"list.dat");
    UniqueBstr path(SysAllocStringLen(c.path.data(), static_cast<UINT>(c.path.size())));
    EXPECT_HR(c.result, registry_->ExportTriggerList(path.Get()));
    EXPECT_EQ(GetFileAttributesW(L"list.dat"), INVALID_FILE_ATTRIBUTES) << "nothing written";
    EXPECT_EQ(GetFileAttributesW(L"list"), INVALID_FILE_ATTRIBUTES);
    if (c.written) {
      EXPECT_NE(GetFileAttributesW(c.written), INVALID_FILE_ATTRIBUTES);
      DeleteFileW(c.written);
    }
  }
}

TEST_F(ComDoorsTest, VariantsOfTypesAPutDoesNotTakeChangeNothing) {
  ComPtr<IUnknown> transfer_object, connect_object;
  ASSERT_HR(S_OK, registry_->FindTrigger(Bstr(L"rx_to_tx").Get(), transfer_object.Put()));
  ASSERT_HR(S_OK, registry_->FindTrigger(Bstr(L"start_all").Get(), connect_object.Put()));
  ComPtr<ITransferTrigger> transfer;
  ComPtr<IConnectTrigger> connect;
  ASSERT_HR(S_OK, transfer_object.As(IID_ITransferTrigger, &transfer));
  ASSERT_HR(S_OK, connect_object.As(IID_IConnectTrigger, &connect));
  auto state = [&] {
    UniqueBstr transfer_line, connect_line;
    EXPECT_HR(S_OK, transfer->get_Definition(transfer_line.Put()));
    EXPECT_HR(S_OK, connect->get_Definition(connect_line.Put()));
    return addintest::Narrow(transfer_line.Get()) + "\n" + addintest::Narrow(connect_line.Get());
  };
  const std::string before = state();
  const HostileVariants variants;
  for (const auto& [what, variant] : variants.all()) {
    if (!variants.NotTaken(what)) continue;
    SCOPED_TRACE(what);
    EXPECT_HR(S_OK, transfer->put_Source(*variant));
    EXPECT_HR(S_OK, transfer->put_Destination(*variant));
    EXPECT_HR(S_OK, connect->put_Members(*variant));
    EXPECT_EQ(state(), before);
  }
}

TEST_F(ComDoorsTest, RepeatedHostileCallsKeepNoMemory) {
  const HostileTexts texts;
  const std::vector<Door> doors = Doors();
  UniqueVariant plain;
  auto round = [&] {
    // The host's records of the calls would grow with every round: they are the host's.
    standin_->ClearJournal();
    standin_->ClearLog();
    standin_->ClearCalls();
    standin_->ClearSimulatorJournal();
    for (const Door& door : doors) {
      for (const Method& method : MethodsOf(*door.iid, door.interface_name)) {
        if (method.takes_text_or_variant) {
          CallThroughVtable(door.object.Get(), method, texts.Long(), *plain.Get());
        }
      }
    }
  };
  round();  // what the calls keep (names, lines) is kept from here on
  const SIZE_T before = PrivateBytes();
  for (int i = 0; i < 20; ++i) round();
  const SIZE_T grown = PrivateBytes() - before;
  // Twenty rounds of some 70 calls with a 128 KB text: a copy kept per call would be 180 MB.
  EXPECT_LT(grown, SIZE_T{16} << 20) << "grew by " << (grown >> 10) << " KB";
}

}  // namespace
