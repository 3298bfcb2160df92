// The automation classes of the trigger kinds, as clients reach them: by ProgID, through
// IDispatch by name, with VARIANTs of every type and the member-list array form.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/com/com_test_support.h"
#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"

namespace {

using win::comkit::ComPtr;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;

class KindObjectsTest : public comtest::ComTest {
 protected:
  static ComPtr<IDispatch> Create(const wchar_t* prog_id) {
    CLSID clsid;
    EXPECT_HR(S_OK, CLSIDFromProgID(prog_id, &clsid));
    ComPtr<IDispatch> object;
    EXPECT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     object.PutVoid()));
    return object;
  }
};

HRESULT GetProperty(IDispatch* object, const wchar_t* member, VARIANT* result) {
  return comtest::InvokeByName(object, member, DISPATCH_PROPERTYGET, {}, result);
}

// Takes the value over and clears it.
HRESULT PutProperty(IDispatch* object, const wchar_t* member, VARIANT value) {
  return comtest::InvokeByName(object, member, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

std::wstring GetText(IDispatch* object, const wchar_t* member) {
  UniqueVariant result;
  EXPECT_HR(S_OK, GetProperty(object, member, result.Get()));
  EXPECT_EQ(V_VT(result.Get()), VT_BSTR);
  return V_VT(result.Get()) == VT_BSTR ? std::wstring(V_BSTR(result.Get())) : L"";
}

TEST_F(KindObjectsTest, EveryClassAnswersByNameAndRendersItsLine) {
  struct Case {
    const wchar_t* prog_id;
    const IID* iid;
    const wchar_t* line;  // a new object's definition line
  };
  const Case cases[] = {
      {L"Trigger.InterruptTrigger", &IID_IInterruptTrigger, L"100,interrupt,trg_interrupt,,0,0"},
      {L"Trigger.IOStreamTrigger.1", &IID_IIOStreamTrigger, L"100,iostream,trg_port,8000"},
      {L"Trigger.TransferTrigger", &IID_ITransferTrigger, nullptr},
      {L"Trigger.StreamTrigger", &IID_IStreamTrigger, L""},  // no kind yet: no line
      {L"Trigger.ConnectTrigger", &IID_IConnectTrigger, L"100,connect,"},
      {L"Trigger.ControlTrigger", &IID_IControlTrigger, nullptr},
      {L"Trigger.MessageTrigger", &IID_IMessageTrigger, nullptr},
      {L"Trigger.SioTrigger", &IID_ISioTrigger, nullptr},
      {L"Trigger.FileStreamTrigger", &IID_IFileStreamTrigger, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(comtest::Narrow(c.prog_id));
    ComPtr<IDispatch> object = Create(c.prog_id);
    ASSERT_TRUE(object);
    ComPtr<IUnknown> own;
    EXPECT_HR(S_OK, object.As(*c.iid, &own));
    ComPtr<ISupportErrorInfo> support;
    ASSERT_HR(S_OK, object.As(IID_ISupportErrorInfo, &support));
    EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(*c.iid));
    EXPECT_HR(S_FALSE, support->InterfaceSupportsErrorInfo(IID_ITriggerAction));

    const std::wstring line = GetText(object.Get(), L"Definition");
    if (c.line) {
      EXPECT_EQ(comtest::Narrow(line), comtest::Narrow(c.line));
    } else {
      EXPECT_EQ(line.substr(0, 4), L"100,") << comtest::Narrow(line);
    }

    // Without a host, registration reaches no simulator: a refusal (through IDispatch the
    // bridge's 1 is a success code), and no flag set.
    UniqueVariant result;
    const HRESULT hr =
        comtest::InvokeByName(object.Get(), L"Register", DISPATCH_METHOD, {}, result.Get());
    EXPECT_TRUE(hr == S_OK || hr == E_FAIL) << comtest::Hex(hr);
    UniqueVariant registered;
    ASSERT_HR(S_OK, GetProperty(object.Get(), L"Registered", registered.Get()));
    EXPECT_EQ(V_VT(registered.Get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(registered.Get()), VARIANT_FALSE);
  }
}

TEST_F(KindObjectsTest, TheAddinClassesAnswerByNameToo) {
  ComPtr<IDispatch> connect = Create(L"Trigger.Connect");
  ASSERT_TRUE(connect);
  EXPECT_EQ(GetText(connect.Get(), L"Type"), L"ADDIN");

  // Not connected: no singletons, so a named object is null, and still S_OK.
  ComPtr<IDispatch> command = Create(L"Trigger.Command");
  ASSERT_TRUE(command);
  UniqueVariant result;
  ASSERT_HR(S_OK, comtest::InvokeByName(command.Get(), L"GetObject", DISPATCH_METHOD,
                                        {win::comkit::TextArg(L"Trigger.Version")}, result.Get()));
  EXPECT_EQ(V_VT(result.Get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(result.Get()), nullptr);
}

// An outer object that keeps its inner one and hands out the inner's interfaces.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
  ComPtr<IUnknown> inner;
};

TEST_F(KindObjectsTest, AggregationFollowsEachClassesRule) {
  struct Case {
    const CLSID* clsid;
    const IID* iid;
    bool aggregatable;
  };
  const Case cases[] = {
      {&CLSID_InterruptTrigger, &IID_IInterruptTrigger, true},
      {&CLSID_TransferTrigger, &IID_ITransferTrigger, true},
      {&CLSID_StreamTrigger, &IID_IStreamTrigger, true},
      {&CLSID_IOStreamTrigger, &IID_IIOStreamTrigger, true},
      {&CLSID_ConnectTrigger, &IID_IConnectTrigger, true},
      {&CLSID_MessageTrigger, &IID_IMessageTrigger, false},
      {&CLSID_ControlTrigger, &IID_IControlTrigger, false},
      {&CLSID_SioTrigger, &IID_ISioTrigger, false},
      {&CLSID_FileStreamTrigger, &IID_IFileStreamTrigger, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(comtest::Narrow(comtest::GuidText(*c.clsid)));
    Outer outer;
    const HRESULT hr = CoCreateInstance(*c.clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        outer.inner.PutVoid());
    if (!c.aggregatable) {
      EXPECT_HR(CLASS_E_NOAGGREGATION, hr);
      continue;
    }
    ASSERT_HR(S_OK, hr);
    // An interface of the inner object answers for the outer one.
    ComPtr<IUnknown> own;
    ASSERT_HR(S_OK, outer.inner.As(*c.iid, &own));
    ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, own.As(IID_IUnknown, &identity));
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer));
    own.Reset();
    identity.Reset();
    outer.inner.Reset();
    EXPECT_EQ(outer.refs, 1u);
  }
}

TEST_F(KindObjectsTest, AddressPutsTakeVariantsByType) {
  ComPtr<IDispatch> transfer = Create(L"Trigger.TransferTrigger");
  ASSERT_TRUE(transfer);
  LONG by_ref = 0x1234;
  struct Case {
    VARTYPE vt;
    LONGLONG value;
    HRESULT result;
    const wchar_t* stored;
  };
  const Case cases[] = {
      {VT_I2, -1, S_OK, L"0xffffffff"},           {VT_UI2, 0xFFFF, S_OK, L"0x0000ffff"},
      {VT_I4, 0x4000, S_OK, L"0x00004000"},       {VT_UI1, 0x80, S_OK, L"0x00000080"},
      {VT_I4 | VT_BYREF, 0, S_OK, L"0x00001234"},  // a script's variable, passed by reference
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vt);
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = c.vt;
    if (c.vt & VT_BYREF) {
      V_I4REF(&value) = &by_ref;
    } else {
      V_I8(&value) = c.value;
    }
    EXPECT_HR(c.result, PutProperty(transfer.Get(), L"Destination", value));
    EXPECT_EQ(comtest::Narrow(GetText(transfer.Get(), L"Destination")), comtest::Narrow(c.stored));
  }
  // A text needs the host's evaluator, which is not there: refused, the old value kept.
  EXPECT_HR(E_FAIL, PutProperty(transfer.Get(), L"Destination", win::comkit::TextArg(L"PORT0")));
  EXPECT_EQ(comtest::Narrow(GetText(transfer.Get(), L"Destination")), "0x00001234");
}

TEST_F(KindObjectsTest, MembersCrossAsAReferenceToAnArrayOfVariants) {
  ComPtr<IConnectTrigger> connect;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_ConnectTrigger, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IConnectTrigger, connect.PutVoid()));
  // Put: VT_VARIANT|VT_ARRAY|VT_BYREF, elements VT_BSTR.
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 3);
  const wchar_t* names[] = {L"pump", L"", L"valve"};
  for (LONG i = 0; i < 3; ++i) {
    VARIANT item;
    V_VT(&item) = VT_BSTR;
    V_BSTR(&item) = SysAllocString(names[i]);
    SafeArrayPutElement(array, &i, &item);
    VariantClear(&item);
  }
  VARIANT members;
  V_VT(&members) = VT_VARIANT | VT_ARRAY | VT_BYREF;
  V_ARRAYREF(&members) = &array;
  EXPECT_HR(S_OK, connect->put_Members(members));

  // An array passed by value is not the member form: nothing changes.
  VARIANT by_value;
  V_VT(&by_value) = VT_VARIANT | VT_ARRAY;
  V_ARRAY(&by_value) = array;
  EXPECT_HR(S_OK, connect->put_Members(by_value));
  SafeArrayDestroy(array);

  VARIANT read;
  VariantInit(&read);
  ASSERT_HR(S_OK, connect->get_Members(&read));
  ASSERT_EQ(V_VT(&read), VT_VARIANT | VT_ARRAY | VT_BYREF);
  SAFEARRAY* got = *V_ARRAYREF(&read);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(SafeArrayGetDim(got), 1u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(got, 1, &lower);
  SafeArrayGetUBound(got, 1, &upper);
  EXPECT_EQ(lower, 0);
  ASSERT_EQ(upper, 2);
  std::vector<std::wstring> texts;
  for (LONG i = 0; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    ASSERT_HR(S_OK, SafeArrayGetElement(got, &i, &item));
    EXPECT_EQ(V_VT(&item), VT_BSTR);
    texts.push_back(V_BSTR(&item));
    VariantClear(&item);
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"pump", L"", L"valve"}));
  UniqueBstr line;
  ASSERT_HR(S_OK, connect->get_Definition(line.Put()));
  EXPECT_EQ(std::wstring(line.Get()), L"100,connect,,pump,,valve");
}

TEST_F(KindObjectsTest, TextsCrossInTheAnsiCodePage) {
  // A character of the code page beyond ASCII survives the trip into the core and back, and
  // reaches the core as the code page's single byte.
  const wchar_t* name = GetACP() == 1252 ? L"Z\u00fcrich\u00e9" : L"Zurich";
  ComPtr<IDispatch> sio = Create(L"Trigger.SioTrigger");
  ASSERT_TRUE(sio);
  ASSERT_HR(S_OK, PutProperty(sio.Get(), L"Destination", win::comkit::TextArg(name)));
  EXPECT_EQ(GetText(sio.Get(), L"Destination"), name);
  if (GetACP() == 1252) {
    UniqueBstr text(SysAllocString(name));
    EXPECT_EQ(win::comkit::ToNarrow(text.Get()), "Z\xfcrich\xe9");
  }
  UniqueBstr empty;
  EXPECT_EQ(win::comkit::ToNarrow(empty.Get()), "");
}

}  // namespace
