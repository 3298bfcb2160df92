// Every automation door of the add-in under hostile arguments. The methods come from the type
// library, so a method added later is covered without a new line here: each method of each
// interface that takes a BSTR or a VARIANT is called through its vtable with every hostile text
// and VARIANT, and through IDispatch with every hostile VARIANT. Nothing may crash; every answer
// must be one the method documents (or the dispatch layer's type refusal); a refused call leaves
// no COM error information (the host's log carries the reasons); and the add-in gives back
// every reference at the end.
#include <windows.h>

#include <psapi.h>

#include <algorithm>

#include "tests/win/reliability/hostile_values.h"
#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;
using reliability::HostileTexts;
using reliability::HostileVariants;

struct Param {
  VARTYPE vt;       // VT_PTR for pointers
  VARTYPE pointee;  // what a pointer points at (VT_PTR again for an interface)
  USHORT flags;     // PARAMFLAG_FOUT, PARAMFLAG_FRETVAL
};
struct Method {
  std::string name;  // "ITriggerAction.DeleteTrigger"
  MEMBERID id;
  INVOKEKIND kind;
  SHORT vtable_offset;
  std::vector<Param> params;
  // Whether a parameter has the type (an input one, unless `outputs` too).
  bool Takes(VARTYPE vt, bool outputs = false) const {
    return std::any_of(params.begin(), params.end(), [=](const Param& p) {
      return p.vt == vt && (outputs || !(p.flags & PARAMFLAG_FOUT));
    });
  }
};

// The methods of an interface, from the vtable half of its dual type information.
std::vector<Method> MethodsOf(REFIID iid, const std::string& interface_name) {
  std::vector<Method> methods;
  ComPtr<ITypeLib> library;
  ComPtr<ITypeInfo> info, vtable_half;
  HREFTYPE vtable = 0;
  if (FAILED(LoadRegTypeLib(LIBID_Trigger, 1, 0, LOCALE_NEUTRAL, library.Put())) ||
      FAILED(library->GetTypeInfoOfGuid(iid, info.Put())) ||
      FAILED(info->GetRefTypeOfImplType(-1, &vtable)) ||
      FAILED(info->GetRefTypeInfo(vtable, vtable_half.Put()))) {
    ADD_FAILURE() << "no type information for " << interface_name;
    return methods;
  }
  TYPEATTR* attributes = nullptr;
  vtable_half->GetTypeAttr(&attributes);
  const WORD count = attributes->cFuncs;
  vtable_half->ReleaseTypeAttr(attributes);
  for (WORD i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(vtable_half->GetFuncDesc(i, &function))) continue;
    UniqueBstr name;
    UINT names = 0;
    vtable_half->GetNames(function->memid, name.Put(), 1, &names);
    const char* prefix = function->invkind == INVOKE_PROPERTYGET   ? "get_"
                         : function->invkind == INVOKE_PROPERTYPUT ? "put_"
                                                                   : "";
    Method method{interface_name + "." + prefix + Narrow(name.Get()),
                  function->memid,
                  function->invkind,
                  function->oVft,
                  {}};
    for (SHORT p = 0; p < function->cParams; ++p) {
      const ELEMDESC& param = function->lprgelemdescParam[p];
      const VARTYPE pointee = param.tdesc.vt == VT_PTR ? param.tdesc.lptdesc->vt : VARTYPE{0};
      method.params.push_back({param.tdesc.vt, pointee, param.paramdesc.wParamFlags});
    }
    methods.push_back(std::move(method));
    vtable_half->ReleaseFuncDesc(function);
  }
  return methods;
}

// Calls a method through its vtable: texts get `text`, VARIANTs `variant`, numbers and flags 0,
// and pointers for results a slot each (or null), whose BSTRs, VARIANTs and interfaces are
// released afterwards.
HRESULT CallThroughVtable(IUnknown* object, const Method& method, BSTR text, const VARIANT& variant,
                          bool null_pointers = false) {
  const size_t count = method.params.size();
  std::vector<VARIANTARG> values(count), outs(count);
  std::vector<VARTYPE> types(count, VT_UI8);
  std::vector<VARIANTARG*> pointers(count);
  VARIANT copy = variant;  // passed by value: the callee must not change the caller's
  for (size_t i = 0; i < count; ++i) {
    const VARTYPE vt = method.params[i].vt;
    VariantInit(&outs[i]);
    V_UI8(&values[i]) = 0;
    pointers[i] = &values[i];
    if (vt == VT_PTR && !null_pointers) {
      V_UI8(&values[i]) = reinterpret_cast<ULONG_PTR>(
          method.params[i].pointee == VT_VARIANT ? static_cast<void*>(&outs[i]) : &V_UI8(&outs[i]));
    } else if (vt == VT_BSTR) {
      types[i] = VT_BSTR;
      V_BSTR(&values[i]) = text;
    } else if (vt == VT_VARIANT) {
      types[i] = VT_VARIANT;
      pointers[i] = &copy;
    }
  }
  VARIANT result;
  VariantInit(&result);
  EXPECT_HR(S_OK, DispCallFunc(object, method.vtable_offset, CC_STDCALL, VT_ERROR,
                               static_cast<UINT>(count), types.data(), pointers.data(), &result))
      << method.name;
  for (size_t i = 0; i < count; ++i) {
    if (method.params[i].vt != VT_PTR) continue;
    switch (method.params[i].pointee) {
      case VT_BSTR:
        SysFreeString(V_BSTR(&outs[i]));
        break;
      case VT_VARIANT:
        EXPECT_HR(S_OK, VariantClear(&outs[i])) << method.name;
        break;
      case VT_UNKNOWN:
      case VT_DISPATCH:
      case VT_PTR:  // an interface of the add-in's
        if (V_UNKNOWN(&outs[i])) V_UNKNOWN(&outs[i])->Release();
        break;
      default:
        break;
    }
  }
  return V_ERROR(&result);
}

// Invokes a method through IDispatch with `value` in every text and VARIANT position.
HRESULT CallThroughDispatch(IDispatch* object, const Method& method, const VARIANT& value) {
  std::vector<VARIANTARG> args;
  LONG number = 0;
  for (const Param& param : method.params) {
    if (param.flags & PARAMFLAG_FRETVAL) continue;  // the call's result
    VARIANTARG arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = 0;
    if (param.vt == VT_BSTR || param.vt == VT_VARIANT) {
      arg = value;
    } else if (param.vt == VT_PTR) {
      V_VT(&arg) = VT_I4 | VT_BYREF;  // the one [in, out] number
      V_I4REF(&arg) = &number;
    }
    args.insert(args.begin(), arg);  // DISPPARAMS carry them last first
  }
  DISPID put = DISPID_PROPERTYPUT;
  const bool putting = method.kind == INVOKE_PROPERTYPUT;
  DISPPARAMS params = {args.data(), putting ? &put : nullptr, static_cast<UINT>(args.size()),
                       putting ? 1u : 0u};
  UniqueVariant result;
  return win::com::InvokeWithParams(object, method.id, static_cast<WORD>(method.kind), &params,
                                    result.Get());
}

bool LeftErrorInfo() {
  ComPtr<IErrorInfo> info;
  return GetErrorInfo(0, info.Put()) == S_OK && info;
}

// The answers a method may give a text or VARIANT it cannot use: the contract's S_OK, the
// bridge's 1 and E_FAIL. Anything else (an exception caught at the boundary, a failed
// conversion) is a fault.
bool DocumentedAnswer(HRESULT hr) { return hr == S_OK || hr == S_FALSE || hr == E_FAIL; }

class DoorsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ConnectAndLoad();
    // The export writes beside the current folder: a folder of its own.
    CreateDirectoryW(TempPath(L"doors").c_str(), nullptr);
    SetCurrentDirectoryW(TempPath(L"doors").c_str());
    // The registry, one loaded trigger of every kind (the sample has them all) and the
    // add-in's own classes.
    ComPtr<IUnknown> typed;
    ASSERT_HR(S_OK, registry_.As(IID_ITriggerAction, &typed));
    doors_.push_back({"ITriggerAction", &IID_ITriggerAction, typed});
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
        {"IFileStreamTrigger", &IID_IFileStreamTrigger}};
    for (const auto& [name, iid] : kinds) {
      for (LONG slot = 0; slot < 13 && doors_.back().name != name; ++slot) {
        ComPtr<IUnknown> trigger, typed;
        if (SUCCEEDED(registry_->GetTriggerByNumber(slot, trigger.Put())) && trigger &&
            SUCCEEDED(trigger.As(*iid, &typed))) {
          doors_.push_back({name, iid, typed});
        }
      }
      EXPECT_EQ(doors_.back().name, name) << "the sample has no such trigger";
    }
    for (const auto& [name, clsid, iid] :
         {std::tuple{"ICommand", &CLSID_Command, &__uuidof(ICommand)},
          std::tuple{"IConnect", &CLSID_Connect, &IID_IConnect},
          std::tuple{"IVersion", &CLSID_Version, &IID_IVersion}}) {
      ComPtr<IUnknown> object;
      EXPECT_HR(S_OK,
                CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, *iid, object.PutVoid()));
      doors_.push_back({name, iid, object});
    }
    for (const Door& door : doors_) {
      for (Method& method : MethodsOf(*door.iid, door.name)) {
        methods_.push_back({door.object.Get(), std::move(method)});
      }
    }
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     version_.PutVoid()));
  }
  void TearDown() override {
    SetCurrentDirectoryW(BesideTest(L"").c_str());
    methods_.clear();
    doors_.clear();
    version_.Reset();
    HostTest::TearDown();
  }

  struct Door {
    std::string name;
    const IID* iid;
    ComPtr<IUnknown> object;
  };
  std::vector<Door> doors_;
  std::vector<std::pair<IUnknown*, Method>> methods_;  // every door's
  ComPtr<IDispatch> version_;
};

TEST_F(DoorsTest, EveryTextAndVariantDoorAnswersHostileArgumentsAsDocumented) {
  const HostileTexts texts;
  const HostileVariants variants(version_.Get());
  UniqueVariant empty;
  int methods = 0;
  for (const auto& [object, method] : methods_) {
    if (!method.Takes(VT_BSTR) && !method.Takes(VT_VARIANT)) continue;
    ++methods;
    ComPtr<IDispatch> dispatch;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
    for (const auto& [what, text] : texts.all()) {
      SetErrorInfo(0, nullptr);
      const HRESULT hr = CallThroughVtable(object, method, text, *empty.Get());
      EXPECT_TRUE(DocumentedAnswer(hr))
          << method.name << " with " << what << ": " << HResultText(hr);
      EXPECT_FALSE(LeftErrorInfo()) << method.name << " with " << what;
    }
    for (const auto& [what, variant] : variants.all()) {
      SetErrorInfo(0, nullptr);
      if (method.Takes(VT_VARIANT)) {
        const HRESULT hr = CallThroughVtable(object, method, nullptr, *variant);
        EXPECT_TRUE(DocumentedAnswer(hr))
            << method.name << " with " << what << ": " << HResultText(hr);
        EXPECT_FALSE(LeftErrorInfo()) << method.name << " with " << what;
      }
      // Through IDispatch a text parameter takes what converts to a text, and the dispatch layer
      // refuses the rest.
      const HRESULT hr = CallThroughDispatch(dispatch.Get(), method, *variant);
      EXPECT_TRUE(DocumentedAnswer(hr) || hr == DISP_E_TYPEMISMATCH || hr == DISP_E_BADVARTYPE ||
                  hr == DISP_E_PARAMNOTFOUND || hr == E_INVALIDARG)
          << method.name << " with " << what << " through IDispatch: " << HResultText(hr);
    }
  }
  EXPECT_GE(methods, 60) << "methods taking a text or a VARIANT, on every interface";
}

TEST_F(DoorsTest, EveryMethodRefusesANullPointerForItsResults) {
  UniqueBstr tick = Bstr(L"tick");
  UniqueVariant empty;
  int methods = 0;
  for (const auto& [object, method] : methods_) {
    if (!method.Takes(VT_PTR, true)) continue;
    ++methods;
    const HRESULT hr = CallThroughVtable(object, method, tick.Get(), *empty.Get(), true);
    // QueryStatus of another command than the add-in's leaves the status alone, as ever.
    if (method.name == "ICommand.QueryStatus") {
      EXPECT_HR(S_OK, hr);
      ComPtr<ICommand> command;
      ASSERT_HR(S_OK, object->QueryInterface(__uuidof(ICommand), command.PutVoid()));
      EXPECT_HR(E_POINTER, command->QueryStatus(54201, nullptr, 0));
    } else {
      EXPECT_TRUE(hr == E_POINTER || hr == E_INVALIDARG) << method.name << ": " << HResultText(hr);
    }
  }
  EXPECT_GE(methods, 100) << "getters and methods with results";
}

TEST_F(DoorsTest, HostileTextsGetTheRegistrysDocumentedAnswers) {
  const HostileTexts texts;
  ComPtr<ICommand> command;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Command, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ICommand),
                                   command.PutVoid()));
  for (const auto& [what, text] : texts.all()) {
    SCOPED_TRACE(what);
    LONG number = 7, code = 0x1234;
    ComPtr<IUnknown> found;
    ComPtr<IDispatch> named;
    UniqueVariant adapter;
    EXPECT_HR(S_OK, registry_->FindNumberByName(text, &number));
    EXPECT_EQ(number, -1) << "no trigger bears such a name";
    EXPECT_HR(S_OK, registry_->FindTrigger(text, found.Put()));
    EXPECT_FALSE(found);
    EXPECT_HR(E_FAIL, registry_->DeleteTrigger(text));
    EXPECT_HR(E_FAIL, registry_->Command0102(text));
    EXPECT_HR(E_FAIL, registry_->CreateTriggerByKeyword(text, adapter.Get()));
    EXPECT_EQ(V_VT(adapter.Get()), VT_EMPTY);
    EXPECT_HR(S_OK, command->GetObject(text, named.Put()));
    EXPECT_FALSE(named);
    // A text that begins with a digit other than 0 is a source number, beyond the table here;
    // any other names no source, which leaves the caller's value.
    EXPECT_HR(S_OK, registry_->ResolveInterruptSource(text, &code));
    EXPECT_EQ(code, text && text[0] >= L'1' && text[0] <= L'9' ? -1 : 0x1234);
  }
  LONG count = 0;
  ASSERT_HR(S_OK, registry_->get_Count(&count));
  EXPECT_EQ(count, 13) << "nothing was created or deleted";
}

TEST_F(DoorsTest, AnExportPathIsTakenWholeOrRefused) {
  const struct {
    std::wstring path;
    HRESULT result;
    const wchar_t* written;  // the file that exists afterwards, null for none
  } cases[] = {
      // A NUL would cut the path short of its extension: "list.dat" would be overwritten.
      {std::wstring(L"list.dat\0.txt", 13), E_FAIL, nullptr},
      {std::wstring(L"list\0more", 9), E_FAIL, nullptr},
      {L"plain", S_OK, L"plain.txt"},
      {L"list.csv", E_FAIL, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_HR(c.result, registry_->ExportTriggerList(Bstr(c.path).Get())) << Narrow(c.path);
    for (const wchar_t* never : {L"list.dat", L"list", L"list.csv"}) {
      EXPECT_EQ(GetFileAttributesW(never), INVALID_FILE_ATTRIBUTES) << Narrow(never);
    }
    if (c.written) {
      EXPECT_TRUE(DeleteFileW(c.written)) << Narrow(c.written);
    }
  }
}

TEST_F(DoorsTest, VariantsOfTypesAPutDoesNotTakeChangeNothing) {
  ComPtr<ITransferTrigger> transfer = Find<ITransferTrigger>(L"rx_to_tx");
  ComPtr<IConnectTrigger> connect = Find<IConnectTrigger>(L"start_all");
  ASSERT_TRUE(transfer && connect);
  const auto state = [&] {
    return Property(transfer.Get(), L"Definition") + "\n" + Property(connect.Get(), L"Definition");
  };
  const std::string before = state();
  const HostileVariants variants(version_.Get());
  for (const auto& [what, variant] : variants.all()) {
    if (what == HostileVariants::kTakenByMembers) continue;
    EXPECT_HR(S_OK, transfer->put_Source(*variant)) << what;
    EXPECT_HR(S_OK, transfer->put_Destination(*variant)) << what;
    EXPECT_HR(S_OK, connect->put_Members(*variant)) << what;
    EXPECT_EQ(state(), before) << what;
  }
}

TEST_F(DoorsTest, RepeatedHostileCallsKeepNoMemory) {
  const HostileTexts texts;
  UniqueVariant empty;
  const auto round = [&] {
    // The host's records of the calls grow with every round: they are the host's.
    standin_->ClearJournal();
    standin_->ClearLog();
    standin_->ClearCalls();
    standin_->ClearSimulatorJournal();
    for (const auto& [object, method] : methods_) {
      if (method.Takes(VT_BSTR) || method.Takes(VT_VARIANT)) {
        CallThroughVtable(object, method, texts.Long(), *empty.Get());
      }
    }
  };
  const auto private_bytes = [] {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
  };
  round();  // what the calls keep (names, lines) is kept from here on
  const SIZE_T before = private_bytes();
  for (int i = 0; i < 20; ++i) round();
  // Twenty rounds of some 70 calls with a 128 KB text: a copy kept per call would be 180 MB.
  EXPECT_LT(private_bytes() - before, SIZE_T{16} << 20);
}

}  // namespace
