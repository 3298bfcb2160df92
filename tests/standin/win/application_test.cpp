// The host application's members by DISPID, as the add-in calls them: the registration calls are
// journalled with their arguments in order, image slots are handed out, problems are noted in
// the log, and refusals happen only when the host is told to refuse.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/standin/win/standin_test_support.h"

namespace {

using standintest::Bstr;
using standintest::HandleArg;
using standintest::InvokeMember;
using standintest::LongArg;
using standintest::LongRefArg;
using standintest::Narrow;
using standintest::TextArg;
using standintest::UniqueVariant;
using standintest::UnsignedLongArg;

class ApplicationTest : public standintest::StandinTest {
 protected:
  // A registration call: the success flag it answered, -1 when it answered none.
  int Call(DISPID id, std::vector<VARIANT> args) {
    UniqueVariant result;
    const HRESULT hr =
        InvokeMember(application_.Get(), id, DISPATCH_METHOD, std::move(args), result.Put());
    EXPECT_HR(S_OK, hr) << "DISPID " << id;
    return V_VT(result.Get()) == VT_UI1 ? V_UI1(result.Get()) : -1;
  }
};

TEST_F(ApplicationTest, RegistrationCallsAreJournalledWithTheirArgumentsInOrder) {
  const HMODULE standin = GetModuleHandleW(L"VireoStandin.dll");
  HMENU popup = CreatePopupMenu();
  LONG image = 0;
  EXPECT_EQ(Call(8, {HandleArg(standin), LongArg(14313), LongArg(14312), LongRefArg(&image),
                     LongArg(1), LongArg(7)}),
            1);
  EXPECT_EQ(image, 40);
  EXPECT_EQ(Call(7, {TextArg(L"Triggers"), LongArg(54201), LongArg(1), LongArg(7)}), 1);
  EXPECT_EQ(Call(15, {TextArg(L"Trigger menu"), LongArg(0), LongArg(1024), HandleArg(popup),
                      TextArg(L"Simulator"), LongArg(7)}),
            1);
  EXPECT_EQ(Call(12, {TextArg(L"Trigger window"), LongArg(0), LongArg(1024), LongArg(54201),
                      LongArg(1), LongArg(7)}),
            1);
  EXPECT_EQ(Call(25, {TextArg(L"Triggers"), LongRefArg(&image), LongArg(1), LongArg(7)}), 1);
  EXPECT_EQ(
      Call(10, {LongArg(0x2020), UnsignedLongArg(0xFFFFFFFF), UnsignedLongArg(0), LongArg(0)}), 1);
  UniqueVariant none;
  EXPECT_HR(S_OK,
            InvokeMember(application_.Get(), 3, DISPATCH_PROPERTYPUT, {LongArg(0)}, none.Put()));
  EXPECT_EQ(Call(32, {TextArg(L"115001")}), 1);
  DestroyMenu(popup);

  EXPECT_EQ(Read(&IVireoStandin::get_Commands),
            "AddCommandImages(VireoStandin.dll, 14313, 14312, image 40, 1, 7)\n"
            "AddCommand(\"Triggers\", 54201, 1, 7)\n"
            "AddToolbarButton(\"Triggers\", image 40, 1, 7)\n");
  EXPECT_EQ(Read(&IVireoStandin::get_Menus),
            "AddPopupMenu(\"Trigger menu\", 0, 1024, menu, \"Simulator\", 7)\n"
            "AddMenuItem(\"Trigger window\", 0, 1024, 54201, 1, 7)\n");
  EXPECT_EQ(Calls(),
            "AddCommandImages(VireoStandin.dll, 14313, 14312, image 40, 1, 7)\n"
            "AddCommand(\"Triggers\", 54201, 1, 7)\n"
            "AddPopupMenu(\"Trigger menu\", 0, 1024, menu, \"Simulator\", 7)\n"
            "AddMenuItem(\"Trigger window\", 0, 1024, 54201, 1, 7)\n"
            "AddToolbarButton(\"Triggers\", image 40, 1, 7)\n"
            "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n"
            "AddinWindowActive = 0\n"
            "RemoveWindowKind(\"115001\")\n");
  // The stand-in's own module has no such bitmaps: said, but not refused.
  EXPECT_EQ(Log(),
            "Vireo: AddCommandImages: bitmap 14313 is not in VireoStandin.dll\n"
            "Vireo: AddCommandImages: bitmap 14312 is not in VireoStandin.dll\n");
}

TEST_F(ApplicationTest, EveryImageRegistrationGetsANewSlot) {
  const HMODULE standin = GetModuleHandleW(L"VireoStandin.dll");
  LONG first = 0, second = 0;
  Call(8, {HandleArg(standin), LongArg(1), LongArg(2), LongRefArg(&first), LongArg(1), LongArg(1)});
  Call(8,
       {HandleArg(standin), LongArg(1), LongArg(2), LongRefArg(&second), LongArg(1), LongArg(1)});
  EXPECT_EQ(first, 40);
  EXPECT_EQ(second, 41);
}

TEST_F(ApplicationTest, AResourceLibraryLoadedAsDataIsNamedByItsFileAndNoted) {
  // A library loaded as a data file has no module name: the host cannot use its handle as a
  // module's.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring copy = std::wstring(folder) + L"SatelliteRES.dll";
  wchar_t original[MAX_PATH];
  GetModuleFileNameW(GetModuleHandleW(L"StandinFakeAddin.dll"), original, MAX_PATH);
  ASSERT_TRUE(CopyFileW(original, copy.c_str(), FALSE));
  HMODULE satellite = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(satellite, nullptr);
  LONG image = 0;
  EXPECT_EQ(Call(8, {HandleArg(satellite), LongArg(1), LongArg(2), LongRefArg(&image), LongArg(1),
                     LongArg(1)}),
            1);
  FreeLibrary(satellite);
  EXPECT_EQ(Read(&IVireoStandin::get_Commands),
            "AddCommandImages(SatelliteRES.dll, 1, 2, image 40, 1, 1)\n");
  EXPECT_EQ(Log(),
            "Vireo: AddCommandImages: SatelliteRES.dll was loaded as a data file, so its handle is "
            "no module handle\n"
            "Vireo: AddCommandImages: bitmap 1 is not in SatelliteRES.dll\n"
            "Vireo: AddCommandImages: bitmap 2 is not in SatelliteRES.dll\n");
}

TEST_F(ApplicationTest, WhatTheHostCannotUseIsNotedButAccepted) {
  LONG unassigned = 3;
  EXPECT_EQ(Call(8, {HandleArg(reinterpret_cast<void*>(0x1230)), LongArg(14313), LongArg(14312),
                     LongRefArg(&unassigned), LongArg(1), LongArg(1)}),
            1);
  unassigned = 3;
  EXPECT_EQ(Call(15, {TextArg(L""), LongArg(0), LongArg(1024),
                      HandleArg(reinterpret_cast<void*>(0x1234)), TextArg(L"c"), LongArg(1)}),
            1);
  EXPECT_EQ(Call(25, {TextArg(L"b"), LongRefArg(&unassigned), LongArg(1), LongArg(1)}), 1);
  EXPECT_EQ(Log(),
            "Vireo: AddCommandImages: 0x1230 is no module of the process\n"
            "Vireo: AddPopupMenu: the name is empty\n"
            "Vireo: AddPopupMenu: 0x1234 is not a menu handle\n"
            "Vireo: AddToolbarButton: image 3 was not handed out by AddCommandImages\n"
            "Vireo: AddToolbarButton: the add-in registered no command for the button \"b\"; it "
            "is left out\n");
}

TEST_F(ApplicationTest, RefusesOnlyTheCallsItWasToldToRefuse) {
  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L" addmenuitem, AddCommand ").Get()));
  EXPECT_EQ(Read(&IVireoStandin::get_RefusedCalls), "addcommand,addmenuitem");
  EXPECT_EQ(Call(7, {TextArg(L"Triggers"), LongArg(54201), LongArg(1), LongArg(2)}), 0);
  EXPECT_EQ(Call(12, {TextArg(L"Entry"), LongArg(0), LongArg(1024), LongArg(54201), LongArg(1),
                      LongArg(2)}),
            0);
  EXPECT_EQ(Call(32, {TextArg(L"115001")}), 1);
  EXPECT_EQ(Calls(),
            "AddCommand(\"Triggers\", 54201, 1, 2) refused\n"
            "AddMenuItem(\"Entry\", 0, 1024, 54201, 1, 2) refused\n"
            "RemoveWindowKind(\"115001\")\n");
  EXPECT_EQ(Log(),
            "Vireo: AddCommand refused, as the host was told to\n"
            "Vireo: AddMenuItem refused, as the host was told to\n");
}

TEST_F(ApplicationTest, HelpPathIsTheProjectsSettingOrElseTheStandinsHelpFile) {
  UniqueVariant path;
  ASSERT_HR(S_OK, InvokeMember(application_.Get(), 2, DISPATCH_PROPERTYGET, {}, path.Put()));
  wchar_t module[MAX_PATH];
  const DWORD length = GetModuleFileNameW(GetModuleHandleW(L"VireoStandin.dll"), module, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::wstring help(module, length);
  help = help.substr(0, help.find_last_of(L'\\') + 1) + L"Vireo.chm";
  EXPECT_EQ(Narrow(V_BSTR(path.Get())), Narrow(Bstr(help.c_str()).Get()));

  ASSERT_HR(S_OK, standin_->WriteSetting(Bstr(L"Project").Get(), Bstr(L"HelpPath").Get(),
                                         Bstr(L"C:\\help\\vireo").Get()));
  ASSERT_HR(S_OK, InvokeMember(application_.Get(), 2, DISPATCH_PROPERTYGET, {}, path.Put()));
  EXPECT_EQ(Narrow(V_BSTR(path.Get())), "C:\\help\\vireo");
}

TEST_F(ApplicationTest, TheStandinIsRegisteredWithItsTypeLibrary) {
  CLSID clsid;
  ASSERT_HR(S_OK, CLSIDFromProgID(L"Vireo.Standin.1", &clsid));
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Standin));
  standintest::ComPtr<ITypeLib> library;
  EXPECT_HR(S_OK, LoadRegTypeLib(LIBID_VireoStandin, 1, 0, LOCALE_NEUTRAL, library.Put()));
  // Scripts see the automation interface through the object's own type information.
  standintest::ComPtr<ITypeInfo> info;
  ASSERT_HR(S_OK, standin_->GetTypeInfo(0, LOCALE_SYSTEM_DEFAULT, info.Put()));
  TYPEATTR* attributes = nullptr;
  ASSERT_HR(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualIID(attributes->guid, IID_IVireoStandin));
  info->ReleaseTypeAttr(attributes);
}

}  // namespace
