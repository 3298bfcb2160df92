// Every automation door of the add-in under hostile arguments. The methods come from the type
// information the objects give, so a method added later is covered without a new line here: each
// method of each interface that takes a BSTR or a VARIANT is called through its vtable with every
// hostile text and VARIANT, and through IDispatch with every hostile VARIANT. Nothing may crash;
// every answer must be one the method documents (or the dispatch layer's type refusal); a refused
// call leaves no COM error information (the host's log carries the reasons); and the add-in gives
// back every reference at the end.
#include <algorithm>

#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;

// Texts that are null, empty, 64K characters long, or hold a NUL, line breaks or characters
// outside the ANSI code page.
class HostileTexts {
 public:
  HostileTexts() {
    std::wstring long_text;
    while (long_text.size() < 65536) long_text += L"101,a,";  // a line of 32K fields
    long_text.resize(65536);
    Add("a null BSTR", UniqueBstr());
    Add("an empty text", Bstr(L""));
    Add("a 64K text", Bstr(long_text));
    Add("a text with a NUL", Bstr(std::wstring(L"tick\0tock", 9)));
    Add("a text with line breaks", Bstr(L"101,filestream,a\r\n[Project]\r\nb"));
    Add("a text beyond the code page", Bstr(L"Z\u00fcrich \u2603 \u65e5\u672c \U0001F600"));
  }
  std::vector<std::pair<std::string, BSTR>> all;
  BSTR Long() const { return all[2].second; }

 private:
  void Add(const char* name, UniqueBstr text) {
    all.emplace_back(name, text.Get());
    kept_.push_back(std::move(text));
  }
  std::vector<UniqueBstr> kept_;
};

// VARIANTs of every type a property does not take, malformed arrays, and references that lead
// nowhere or back to themselves; `object` stands for any automation object a caller might pass.
class HostileVariants {
 public:
  explicit HostileVariants(IDispatch* object) {
    LONG index = 0;
    SafeArrayPutElement(texts_, &index, Bstr(L"tick").Get());
    V_VT(&Element(looped_)) = VT_VARIANT | VT_ARRAY | VT_BYREF;  // the array itself, uncopied
    V_ARRAYREF(&Element(looped_)) = &looped_;
    variants_.reserve(32);  // the values refer to each other: they must not move
    V_ERROR(&Add("VT_ERROR", VT_ERROR)) = DISP_E_PARAMNOTFOUND;
    V_DISPATCH(&Add("VT_DISPATCH", VT_DISPATCH)) = object;
    V_DISPATCH(&Add("a null VT_DISPATCH", VT_DISPATCH)) = nullptr;
    Add("VT_EMPTY", VT_EMPTY);
    Add("VT_NULL", VT_NULL);
    V_DATE(&Add("VT_DATE", VT_DATE)) = 45000.5;  // as any other type no property takes
    V_R8(&Add("VT_R8", VT_R8)) = 1e300;
    V_ARRAYREF(&Add("an array of texts claiming to hold VARIANTs",
                    VT_VARIANT | VT_ARRAY | VT_BYREF)) = &texts_;
    V_ARRAY(&Add("an array of numbers by value", VT_I4 | VT_ARRAY)) = numbers_;
    V_ARRAYREF(&Add("a two-dimensional array of VARIANTs", VT_VARIANT | VT_ARRAY | VT_BYREF)) =
        &square_;
    V_I4REF(&Add("a reference to a number that is not there", VT_I4 | VT_BYREF)) = nullptr;
    V_BSTRREF(&Add("a reference to a text that is not there", VT_BSTR | VT_BYREF)) = nullptr;
    VARIANT& loop = Add("a reference to a VARIANT that refers to itself", VT_VARIANT | VT_BYREF);
    V_VARIANTREF(&loop) = &loop;
    // The one value a member-list put takes: an array of VARIANTs, if of no use.
    V_ARRAYREF(&Add(kTakenByMembers, VT_VARIANT | VT_ARRAY | VT_BYREF)) = &looped_;
  }
  ~HostileVariants() {
    Element(looped_) = {};
    for (SAFEARRAY* array : {looped_, square_, numbers_, texts_}) SafeArrayDestroy(array);
  }
  std::vector<std::pair<std::string, const VARIANT*>> all;
  static constexpr const char* kTakenByMembers = "an array whose element is the array itself";

 private:
  static VARIANT& Element(SAFEARRAY* array) { return *static_cast<VARIANT*>(array->pvData); }
  VARIANT& Add(const char* name, VARTYPE vt) {
    VARIANT& value = variants_.emplace_back();
    V_UI8(&value) = 0;
    V_VT(&value) = vt;
    all.emplace_back(name, &value);
    return value;
  }
  SAFEARRAY* texts_ = SafeArrayCreateVector(VT_BSTR, 0, 2);
  SAFEARRAY* numbers_ = SafeArrayCreateVector(VT_I4, 0, 3);
  SAFEARRAYBOUND bounds_[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* square_ = SafeArrayCreate(VT_VARIANT, 2, bounds_);
  SAFEARRAY* looped_ = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  std::vector<VARIANT> variants_;
};

struct Param {
  VARTYPE vt;       // VT_PTR for pointers
  VARTYPE pointee;  // what a pointer points at (VT_PTR again for an interface)
  USHORT flags;     // PARAMFLAG_FOUT, PARAMFLAG_FRETVAL
};
struct Method {
  IUnknown* object;  // as the method's interface
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

// Calls a method through its vtable: texts get `text`, VARIANTs `variant`, numbers and flags 0,
// and pointers for results a slot each (or null), whose BSTRs, VARIANTs and interfaces are
// released afterwards.
HRESULT CallThroughVtable(const Method& method, BSTR text, const VARIANT& variant,
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
  EXPECT_HR(S_OK, DispCallFunc(method.object, method.vtable_offset, CC_STDCALL, VT_ERROR,
                               static_cast<UINT>(count), types.data(), pointers.data(), &result))
      << method.name;
  for (size_t i = 0; i < count; ++i) {
    const VARTYPE pointee = method.params[i].vt == VT_PTR ? method.params[i].pointee : VARTYPE{0};
    if (pointee == VT_BSTR) SysFreeString(V_BSTR(&outs[i]));
    if (pointee == VT_VARIANT) {
      EXPECT_HR(S_OK, VariantClear(&outs[i])) << method.name;
    }
    const bool object = pointee == VT_UNKNOWN || pointee == VT_DISPATCH || pointee == VT_PTR;
    if (object && V_UNKNOWN(&outs[i])) V_UNKNOWN(&outs[i])->Release();
  }
  return V_ERROR(&result);
}

// Invokes a method through IDispatch with `value` in every text and VARIANT position.
HRESULT CallThroughDispatch(const Method& method, const VARIANT& value) {
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
  ComPtr<IDispatch> dispatch;
  EXPECT_HR(S_OK, method.object->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
  UniqueVariant result;
  return win::comkit::InvokeWithParams(dispatch.Get(), method.id, static_cast<WORD>(method.kind),
                                       &params, result.Get());
}

bool LeftErrorInfo() {
  ComPtr<IErrorInfo> info;
  return GetErrorInfo(0, info.Put()) == S_OK && info;
}

// The answers a method may give a text or VARIANT it cannot use: S_OK as the contract says, 1
// (S_FALSE) from the bridge, and E_FAIL. Anything else (an exception caught at the boundary, a
// failed conversion) is a fault.
bool DocumentedAnswer(HRESULT hr) { return hr == S_OK || hr == S_FALSE || hr == E_FAIL; }

class DoorsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ConnectAndLoad();
    // The export writes beside the current folder: a folder of its own.
    CreateDirectoryW(TempPath(L"doors").c_str(), nullptr);
    SetCurrentDirectoryW(TempPath(L"doors").c_str());
    // The registry, the loaded triggers (the sample has every kind) and the add-in's own classes.
    std::vector<ComPtr<IUnknown>> objects(1);
    ASSERT_HR(S_OK, registry_.As(IID_IUnknown, &objects[0]));
    for (LONG slot = 0; slot < 13; ++slot) {
      ASSERT_HR(S_OK, registry_->GetTriggerByNumber(slot, objects.emplace_back().Put()));
    }
    for (const CLSID* clsid : {&CLSID_Command, &CLSID_Connect, &CLSID_Version}) {
      EXPECT_HR(S_OK, CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       objects.emplace_back().PutVoid()));
    }
    std::vector<std::string> interfaces;
    for (const ComPtr<IUnknown>& object : objects) AddMethods(object.Get(), &interfaces);
    EXPECT_EQ(interfaces.size(), 14u) << "ITriggerAction, ten kinds, ICommand, IConnect, IVersion";
  }
  void TearDown() override {
    SetCurrentDirectoryW(BesideTest(L"").c_str());
    for (const Method& method : methods_) method.object->Release();
    methods_.clear();
    HostTest::TearDown();
  }

  // The methods of the object's dual interface, from the vtable half of its type information,
  // unless an object before it had the same interface.
  void AddMethods(IUnknown* object, std::vector<std::string>* interfaces) {
    ComPtr<IDispatch> dispatch;
    ComPtr<ITypeInfo> info, vtable_half;
    UniqueBstr name;
    HREFTYPE vtable = 0;
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
    ASSERT_HR(S_OK, dispatch->GetTypeInfo(0, LOCALE_NEUTRAL, info.Put()));
    ASSERT_HR(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
    const std::string interface_name = Narrow(name.Get());
    if (std::count(interfaces->begin(), interfaces->end(), interface_name)) return;
    interfaces->push_back(interface_name);
    ASSERT_HR(S_OK, info->GetRefTypeOfImplType(-1, &vtable));
    ASSERT_HR(S_OK, info->GetRefTypeInfo(vtable, vtable_half.Put()));
    ASSERT_HR(S_OK, vtable_half->GetTypeAttr(&attributes));
    const IID iid = attributes->guid;
    const WORD count = attributes->cFuncs;
    vtable_half->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < count; ++i) {
      FUNCDESC* function = nullptr;
      ASSERT_HR(S_OK, vtable_half->GetFuncDesc(i, &function));
      UINT names = 0;
      vtable_half->GetNames(function->memid, name.Put(), 1, &names);
      const char* prefix = function->invkind == INVOKE_PROPERTYGET   ? "get_"
                           : function->invkind == INVOKE_PROPERTYPUT ? "put_"
                                                                     : "";
      Method method{nullptr,         interface_name + "." + prefix + Narrow(name.Get()),
                    function->memid, function->invkind,
                    function->oVft,  {}};
      EXPECT_HR(S_OK, object->QueryInterface(iid, reinterpret_cast<void**>(&method.object)));
      for (SHORT p = 0; p < function->cParams; ++p) {
        const ELEMDESC& param = function->lprgelemdescParam[p];
        const VARTYPE pointee = param.tdesc.vt == VT_PTR ? param.tdesc.lptdesc->vt : VARTYPE{0};
        method.params.push_back({param.tdesc.vt, pointee, param.paramdesc.wParamFlags});
      }
      methods_.push_back(std::move(method));
      vtable_half->ReleaseFuncDesc(function);
    }
  }

  std::vector<Method> methods_;  // every door's
};

TEST_F(DoorsTest, EveryTextAndVariantDoorAnswersHostileArgumentsAsDocumented) {
  const HostileTexts texts;
  const HostileVariants variants(registry_.Get());
  UniqueVariant empty;
  int methods = 0;
  for (const Method& method : methods_) {
    if (!method.Takes(VT_BSTR) && !method.Takes(VT_VARIANT)) continue;
    ++methods;
    for (const auto& [what, text] : texts.all) {
      SetErrorInfo(0, nullptr);
      const HRESULT hr = CallThroughVtable(method, text, *empty.Get());
      EXPECT_TRUE(DocumentedAnswer(hr))
          << method.name << " with " << what << ": " << HResultText(hr);
      EXPECT_FALSE(LeftErrorInfo()) << method.name << " with " << what;
    }
    for (const auto& [what, variant] : variants.all) {
      SetErrorInfo(0, nullptr);
      if (method.Takes(VT_VARIANT)) {
        const HRESULT hr = CallThroughVtable(method, nullptr, *variant);
        EXPECT_TRUE(DocumentedAnswer(hr))
            << method.name << " with " << what << ": " << HResultText(hr);
        EXPECT_FALSE(LeftErrorInfo()) << method.name << " with " << what;
      }
      // Through IDispatch a text parameter takes what converts to a text, and the dispatch layer
      // refuses the rest.
      const HRESULT hr = CallThroughDispatch(method, *variant);
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
  for (const Method& method : methods_) {
    if (!method.Takes(VT_PTR, true)) continue;
    ++methods;
    const HRESULT hr = CallThroughVtable(method, tick.Get(), *empty.Get(), true);
    // QueryStatus of another command than the add-in's leaves the status alone, as ever.
    if (method.name == "ICommand.QueryStatus") {
      EXPECT_HR(S_OK, hr);
      EXPECT_HR(E_POINTER, static_cast<ICommand*>(method.object)->QueryStatus(54201, nullptr, 0));
    } else {
      EXPECT_TRUE(hr == E_POINTER || hr == E_INVALIDARG) << method.name << ": " << HResultText(hr);
    }
  }
  EXPECT_GE(methods, 100) << "getters and methods with results";
}

TEST_F(DoorsTest, HostileTextsNameNoTriggerAndLeaveTheCallersValue) {
  const HostileTexts texts;
  for (const auto& [what, text] : texts.all) {
    LONG number = 7, code = 0x1234;
    EXPECT_HR(S_OK, registry_->FindNumberByName(text, &number));
    EXPECT_EQ(number, -1) << what;
    EXPECT_HR(E_FAIL, registry_->Command0102(text)) << what << ": not cut short at a NUL";
    // A text that begins with a digit other than 0 is a source number, beyond the table here;
    // any other names no source, which leaves the caller's value.
    EXPECT_HR(S_OK, registry_->ResolveInterruptSource(text, &code));
    EXPECT_EQ(code, text && text[0] >= L'1' && text[0] <= L'9' ? -1 : 0x1234) << what;
  }
}

TEST_F(DoorsTest, AnExportPathIsTakenWholeOrRefused) {
  const std::pair<std::wstring, HRESULT> cases[] = {
      // A NUL would cut the path short of its extension: "list.dat" would be overwritten.
      {std::wstring(L"list.dat\0.txt", 13), E_FAIL},
      {std::wstring(L"list\0more", 9), E_FAIL},
      {L"plain", S_OK},  // written as plain.txt
      {L"list.csv", E_FAIL},
  };
  for (const auto& [path, result] : cases) {
    EXPECT_HR(result, registry_->ExportTriggerList(Bstr(path).Get())) << Narrow(path);
    for (const wchar_t* never : {L"list.dat", L"list", L"list.csv"}) {
      EXPECT_EQ(GetFileAttributesW(never), INVALID_FILE_ATTRIBUTES) << Narrow(never);
    }
  }
  EXPECT_TRUE(DeleteFileW(L"plain.txt"));
}

TEST_F(DoorsTest, VariantsOfTypesAPutDoesNotTakeChangeNothing) {
  ComPtr<ITransferTrigger> transfer = Find<ITransferTrigger>(L"rx_to_tx");
  ComPtr<IConnectTrigger> connect = Find<IConnectTrigger>(L"start_all");
  ASSERT_TRUE(transfer && connect);
  const auto state = [&] {
    return Property(transfer.Get(), L"Definition") + "\n" + Property(connect.Get(), L"Definition");
  };
  const std::string before = state();
  const HostileVariants variants(registry_.Get());
  for (const auto& [what, variant] : variants.all) {
    if (what == HostileVariants::kTakenByMembers) continue;
    EXPECT_HR(S_OK, transfer->put_Source(*variant)) << what;
    EXPECT_HR(S_OK, transfer->put_Destination(*variant)) << what;
    EXPECT_HR(S_OK, connect->put_Members(*variant)) << what;
    EXPECT_EQ(state(), before) << what;
  }
}

}  // namespace
