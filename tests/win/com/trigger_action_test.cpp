// The registry's automation class: triggers keep one automation object each, live on after the
// registry drops them, and are named and checked within the registry that made them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win/com/com_test_support.h"

namespace {

using win::comkit::ComPtr;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;

class TriggerActionTest : public comtest::ComTest {
 protected:
  static ComPtr<ITriggerAction> NewRegistry() {
    ComPtr<ITriggerAction> registry;
    EXPECT_HR(S_OK, CoCreateInstance(CLSID_TriggerAction, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITriggerAction, registry.PutVoid()));
    return registry;
  }
};

UniqueBstr Bstr(const wchar_t* text) { return UniqueBstr(SysAllocString(text)); }

std::wstring NameOf(IUnknown* trigger) {
  ComPtr<ITransferTrigger> transfer;
  EXPECT_HR(S_OK, trigger->QueryInterface(IID_ITransferTrigger, transfer.PutVoid()));
  UniqueBstr name;
  EXPECT_HR(S_OK, transfer->get_Name(name.Put()));
  return name.Get() ? name.Get() : L"";
}

TEST_F(TriggerActionTest, ATriggerIsAlwaysTheSameObject) {
  ComPtr<ITriggerAction> registry = NewRegistry();
  ComPtr<IDispatch> created;
  ASSERT_HR(S_OK, registry->CreateTransferTrigger(created.Put()));
  ComPtr<IUnknown> identity;
  ASSERT_HR(S_OK, created.As(IID_IUnknown, &identity));

  ComPtr<IUnknown> found, again, by_number;
  ASSERT_HR(S_OK, registry->FindTrigger(Bstr(L"transfer").Get(), found.Put()));
  ASSERT_HR(S_OK, registry->FindTrigger(Bstr(L"transfer").Get(), again.Put()));
  ASSERT_HR(S_OK, registry->GetTriggerByNumber(0, by_number.Put()));
  EXPECT_EQ(found.Get(), identity.Get());
  EXPECT_EQ(again.Get(), identity.Get());
  EXPECT_EQ(by_number.Get(), identity.Get());

  ComPtr<IUnknown> none;
  EXPECT_HR(S_OK, registry->FindTrigger(Bstr(L"Transfer").Get(), none.Put()));
  EXPECT_FALSE(none) << "names are compared case-sensitively";
  EXPECT_HR(S_OK, registry->GetTriggerByNumber(300, none.Put()));
  EXPECT_FALSE(none);
  SHORT kind = 0;
  EXPECT_HR(S_OK, registry->GetKindByNumber(0, &kind));
  EXPECT_EQ(kind, 3);
  EXPECT_HR(S_OK, registry->GetKindByNumber(1, &kind));
  EXPECT_EQ(static_cast<USHORT>(kind), 0xFFFF);
}

TEST_F(TriggerActionTest, ADeletedTriggerStaysUsableWhileHeld) {
  comtest::Server& server = comtest::Server::Get();
  ComPtr<ITriggerAction> registry = NewRegistry();
  ComPtr<IDispatch> created;
  ASSERT_HR(S_OK, registry->CreateTransferTrigger(created.Put()));
  ComPtr<ITransferTrigger> transfer;
  ASSERT_HR(S_OK, created.As(IID_ITransferTrigger, &transfer));
  created.Reset();

  // Never registered: deleted without a word to the simulator.
  ASSERT_HR(S_OK, registry->DeleteTrigger(Bstr(L"transfer").Get()));
  LONG count = -1;
  ASSERT_HR(S_OK, registry->get_Count(&count));
  EXPECT_EQ(count, 0);
  ASSERT_HR(S_OK, transfer->put_Cycle(7));
  UniqueBstr line;
  ASSERT_HR(S_OK, transfer->get_Definition(line.Put()));
  EXPECT_EQ(std::wstring(line.Get()).substr(0, 13), L"100,transfer,");

  // The registry goes too: what needs it fails cleanly, the rest still works.
  registry.Reset();
  EXPECT_HR(S_FALSE, server.can_unload()) << "a client still holds a trigger";
  EXPECT_HR(E_FAIL, transfer->put_Name(Bstr(L"renamed").Get()));
  LONG cycle = 0;
  EXPECT_HR(S_OK, transfer->get_Cycle(&cycle));
  EXPECT_EQ(cycle, 7);
  transfer.Reset();
  EXPECT_HR(S_OK, server.can_unload());
}

TEST_F(TriggerActionTest, EachRegistryNamesAndChecksItsOwnTriggers) {
  ComPtr<ITriggerAction> first = NewRegistry();
  ComPtr<ITriggerAction> second = NewRegistry();
  ComPtr<IDispatch> a1, a2, b1;
  ASSERT_HR(S_OK, first->CreateTransferTrigger(a1.Put()));
  ASSERT_HR(S_OK, first->CreateTransferTrigger(a2.Put()));
  ASSERT_HR(S_OK, second->CreateTransferTrigger(b1.Put()));
  EXPECT_EQ(NameOf(a1.Get()), L"transfer");
  EXPECT_EQ(NameOf(a2.Get()), L"transfer1");
  EXPECT_EQ(NameOf(b1.Get()), L"transfer") << "the other registry's names do not count";

  // A clash is a clash only within the trigger's own registry. The rename needs the host's event
  // list, which is absent here, so an accepted name still ends in the bridge's refusal: the
  // difference shows in the host log line that a clash writes, and in the check operations.
  EXPECT_HR(E_FAIL, first->CheckNameUnique(Bstr(L"transfer1").Get()));
  EXPECT_HR(S_OK, second->CheckNameUnique(Bstr(L"transfer1").Get()));
  EXPECT_HR(S_OK, first->CheckNameUniqueExcept(Bstr(L"transfer1").Get(), 1));
  LONG number = 0;
  EXPECT_HR(S_OK, second->FindNumberByName(Bstr(L"transfer1").Get(), &number));
  EXPECT_EQ(number, -1);

  // Creation by keyword hands out the adapter by reference.
  UniqueVariant adapter;
  ASSERT_HR(S_OK, second->CreateTriggerByKeyword(Bstr(L"DATA").Get(), adapter.Get()));
  EXPECT_EQ(V_VT(adapter.Get()), VT_BYREF);
  EXPECT_NE(V_BYREF(adapter.Get()), nullptr);
  UniqueVariant by_number;
  ASSERT_HR(S_OK, second->GetAdapterByNumber(1, by_number.Get()));
  EXPECT_EQ(V_BYREF(by_number.Get()), V_BYREF(adapter.Get()));
  UniqueVariant nothing;
  EXPECT_HR(E_FAIL, second->CreateTriggerByKeyword(Bstr(L"datum").Get(), nothing.Get()));
  EXPECT_EQ(V_VT(nothing.Get()), VT_EMPTY);
  EXPECT_HR(S_OK, second->get_Count(&number));
  EXPECT_EQ(number, 2);
}

TEST_F(TriggerActionTest, LookUpsCompareNamesAsTheUsersLocaleDoesAndUniquenessExactly) {
  ComPtr<ITriggerAction> registry = NewRegistry();
  ComPtr<IDispatch> created;
  ASSERT_HR(S_OK, registry->CreateTransferTrigger(created.Put()));
  ComPtr<ITransferTrigger> street;
  ASSERT_HR(S_OK, created.As(IID_ITransferTrigger, &street));
  ASSERT_HR(S_OK, street->SetNameUnchecked(Bstr(L"Stra\u00DFe").Get()));
  ComPtr<IUnknown> identity;
  ASSERT_HR(S_OK, created.As(IID_IUnknown, &identity));

  struct Case {
    const wchar_t* name;
    bool found;
  };
  const Case cases[] = {
      {L"Stra\u00DFe", true},   {L"Strasse", true},  // the sharp s sorts as "ss"
      {L"Stra\u00ADsse", true},                      // a soft hyphen counts for nothing
      {L"STRASSE", false},                           // but case counts
      {L"Strase", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(comtest::Narrow(c.name));
    LONG number = -2;
    EXPECT_HR(S_OK, registry->FindNumberByName(Bstr(c.name).Get(), &number));
    EXPECT_EQ(number, c.found ? 0 : -1);
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry->FindTrigger(Bstr(c.name).Get(), found.Put()));
    EXPECT_EQ(found.Get(), c.found ? identity.Get() : nullptr);
  }
  EXPECT_HR(S_OK, registry->CheckNameUnique(Bstr(L"Strasse").Get())) << "compared exactly";
  EXPECT_HR(E_FAIL, registry->CheckNameUnique(Bstr(L"Stra\u00DFe").Get()));
  EXPECT_HR(S_OK, registry->DeleteTrigger(Bstr(L"Strasse").Get()));
  LONG count = -1;
  EXPECT_HR(S_OK, registry->get_Count(&count));
  EXPECT_EQ(count, 0);
}

TEST_F(TriggerActionTest, TheRegistryAnswersByNameThroughIDispatch) {
  ComPtr<ITriggerAction> registry = NewRegistry();
  ComPtr<IDispatch> dispatch;
  ASSERT_HR(S_OK, registry.As(IID_IDispatch, &dispatch));
  UniqueVariant result;
  ASSERT_HR(S_OK, comtest::InvokeByName(dispatch.Get(), L"CreateSioTrigger", DISPATCH_METHOD, {},
                                        result.Get()));
  ASSERT_EQ(V_VT(result.Get()), VT_DISPATCH);
  ComPtr<ISioTrigger> sio;
  EXPECT_HR(S_OK, V_DISPATCH(result.Get())->QueryInterface(IID_ISioTrigger, sio.PutVoid()));
  ComPtr<ISupportErrorInfo> support;
  ASSERT_HR(S_OK, registry.As(IID_ISupportErrorInfo, &support));
  EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(IID_ITriggerAction));
  EXPECT_HR(S_FALSE, support->InterfaceSupportsErrorInfo(IID_ISioTrigger));
}

}  // namespace
