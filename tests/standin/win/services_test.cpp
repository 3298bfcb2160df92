// The host services as the add-in reaches them: obtained by name through the application,
// asked for their own interface and called at their vtable positions, or called by member name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "tests/standin/win/standin_test_support.h"

namespace {

using core::automation::ByteWriter;
using core::automation::ReadU16;
using core::automation::ReadU32;
using standintest::Bstr;
using standintest::ComPtr;
using standintest::IdOfName;
using standintest::InvokeMember;
using standintest::Narrow;
using standintest::TextArg;
using standintest::UniqueBstr;
using standintest::UniqueVariant;

class ServicesTest : public standintest::StandinTest {
 protected:
  // One "SimCommand" call with the bytes by reference, as the bridge makes it.
  HRESULT Send(const std::vector<uint8_t>& bytes, VARIANT* reply) {
    auto target = ServiceAs<IVireoTargetCommand>(L"Marlin.TargetCommand", IID_IVireoTargetCommand);
    VARIANT block;
    V_VT(&block) = VT_BYREF;
    V_BYREF(&block) = const_cast<uint8_t*>(bytes.data());
    return target->Command(Bstr(L"SimCommand").Get(), 0, block, reply);
  }
};

std::vector<uint8_t> InterruptRecord(uint16_t id) {
  ByteWriter record(836);  // the block every record is
  record.U16(2, 0x0100);
  record.U16(4, id);
  record.U16(6, 1);
  record.I32(8, 5);        // cycle
  record.I32(12, 6);       // wait
  record.U16(16, 0x0010);  // TIMER0_OVF
  return record.Take();
}

std::vector<uint8_t> CommandBlock(uint16_t code, int32_t id) {
  ByteWriter block(8);
  block.U16(0, 8);
  block.U16(2, code);
  block.I32(4, id);
  return block.Take();
}

void* ReplyPointer(const VARIANT& reply) {
  void* pointer = nullptr;
  std::memcpy(&pointer, static_cast<const uint8_t*>(V_BYREF(&reply)) + 4, sizeof pointer);
  return pointer;
}

TEST_F(ServicesTest, EveryServiceAnswersItsOwnInterfaceAndStaysTheSameObject) {
  struct Case {
    const wchar_t* name;
    const IID* iid;
  };
  const Case cases[] = {
      {L"Marlin.Manager", &IID_IVireoManager},
      {L"Marlin.TargetCommand", &IID_IVireoTargetCommand},
      {L"Marlin.EventCommand", &IID_IVireoEventCommand},
      {L"Marlin.MemoryCommand", &IID_IVireoMemoryCommand},
      {L"Quillon.Evaluation", &IID_IVireoEvaluation},
      {L"Tamber.Service", &DIID_DVireoLog},
      {L"Pennant.Service", &DIID_DVireoCpu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Bstr(c.name).Get()));
    ComPtr<IDispatch> first = Service(c.name);
    ComPtr<IDispatch> second = Service(c.name);
    ASSERT_TRUE(first && second);
    ComPtr<IUnknown> typed, identity1, identity2;
    EXPECT_HR(S_OK, first.As(*c.iid, &typed));
    first.As(IID_IUnknown, &identity1);
    second.As(IID_IUnknown, &identity2);
    EXPECT_EQ(identity1.Get(), identity2.Get());
  }
  // Another service's interface is not answered.
  ComPtr<IUnknown> wrong;
  EXPECT_HR(E_NOINTERFACE, Service(L"Marlin.Manager").As(IID_IVireoEvaluation, &wrong));
}

TEST_F(ServicesTest, AnUnknownServiceIsNullAndNotedInTheLog) {
  EXPECT_FALSE(Service(L"Quillon.Omf"));
  EXPECT_EQ(Log(), "Vireo: GetService: the host has no service \"Quillon.Omf\"\n");
}

TEST_F(ServicesTest, ManagerReadsAndWritesTheOpenProjectsSettings) {
  auto manager = ServiceAs<IVireoManager>(L"Marlin.Manager", IID_IVireoManager);
  const UniqueBstr none = Bstr(L""), trigger = Bstr(L"Trigger");
  LONG value = 0;
  EXPECT_HR(S_OK,
            manager->ReadProfileInt(none.Get(), trigger.Get(), Bstr(L"MaxNum").Get(), -1, &value));
  EXPECT_EQ(value, 13);
  EXPECT_HR(S_OK,
            manager->ReadProfileInt(none.Get(), trigger.Get(), Bstr(L"Missing").Get(), -1, &value));
  EXPECT_EQ(value, -1);
  UniqueBstr line;
  EXPECT_HR(S_OK, manager->ReadProfileString(none.Get(), trigger.Get(), Bstr(L"0").Get(),
                                             none.Get(), line.Put()));
  EXPECT_EQ(Narrow(line.Get()), "100,interrupt,tick,TIMER0_OVF,1000,10");

  VARIANT_BOOL modified = VARIANT_TRUE;
  standin_->get_Modified(&modified);
  EXPECT_EQ(modified, VARIANT_FALSE);
  EXPECT_HR(S_OK, manager->WriteProfileInt(none.Get(), trigger.Get(), Bstr(L"MaxNum").Get(), 2));
  EXPECT_HR(S_OK, manager->WriteProfileString(none.Get(), trigger.Get(), Bstr(L"1").Get(),
                                              Bstr(L"101,iostream,in,32").Get()));
  standin_->get_Modified(&modified);
  EXPECT_EQ(modified, VARIANT_TRUE);
  UniqueVariant setting;
  EXPECT_HR(S_OK, standin_->Setting(trigger.Get(), Bstr(L"MaxNum").Get(), setting.Put()));
  EXPECT_EQ(Narrow(V_BSTR(setting.Get())), "2");

  EXPECT_HR(S_OK, manager->MarkProjectModified(0));
  standin_->get_Modified(&modified);
  EXPECT_EQ(modified, VARIANT_FALSE);
  EXPECT_HR(S_OK, manager->MarkProjectModified(1));
  standin_->get_Modified(&modified);
  EXPECT_EQ(modified, VARIANT_TRUE);
  EXPECT_EQ(Calls(), "MarkProjectModified(0)\nMarkProjectModified(1)\n");

  // A value the file cannot hold is refused and told.
  EXPECT_HR(E_INVALIDARG, manager->WriteProfileString(none.Get(), trigger.Get(), Bstr(L"2").Get(),
                                                      Bstr(L"a\nb").Get()));
  EXPECT_NE(Log().find("Vireo: Manager.WriteProfileString: "), std::string::npos) << Log();
}

TEST_F(ServicesTest, ManagerOffersNoFileButTheOpenProject) {
  auto manager = ServiceAs<IVireoManager>(L"Marlin.Manager", IID_IVireoManager);
  LONG value = 0;
  EXPECT_HR(E_INVALIDARG, manager->ReadProfileInt(Bstr(L"other.ini").Get(), Bstr(L"Trigger").Get(),
                                                  Bstr(L"MaxNum").Get(), 7, &value));
  EXPECT_EQ(value, 7);
  EXPECT_EQ(Log(),
            "Vireo: Manager.ReadProfileInt: file \"other.ini\" refused; the host offers the open "
            "project's settings only (an empty file name)\n");
}

TEST_F(ServicesTest, TargetCommandAnswersRecordsWithAMallocedReplyBlock) {
  struct Case {
    std::vector<uint8_t> record;
    uint32_t refusal;
  };
  std::vector<uint8_t> unknown_action = InterruptRecord(101);
  unknown_action[6] = 3;
  const Case cases[] = {{InterruptRecord(101), 0}, {InterruptRecord(99), 3}, {unknown_action, 2}};
  for (const Case& c : cases) {
    VARIANT reply;
    VariantInit(&reply);
    ASSERT_HR(S_OK, Send(c.record, &reply));
    ASSERT_EQ(V_VT(&reply), VT_BYREF);
    EXPECT_EQ(ReadU32(static_cast<const uint8_t*>(V_BYREF(&reply)) + 4), c.refusal);
    std::free(V_BYREF(&reply));  // the add-in's ordinary deallocation
  }
  EXPECT_EQ(Read(&IVireoStandin::get_DecodedRecords),
            "id 101 interrupt: source 0x0010 (TIMER0_OVF) cycle 5 wait 6\n");
}

TEST_F(ServicesTest, TargetCommandHandsOutTheLiveActiveTableAndAFreshSourceTable) {
  VARIANT reply;
  VariantInit(&reply);
  ASSERT_HR(S_OK, Send(InterruptRecord(101), &reply));
  std::free(V_BYREF(&reply));

  ASSERT_HR(S_OK, Send(CommandBlock(0x104, 0), &reply));
  ASSERT_EQ(V_VT(&reply), VT_BYREF);
  const auto* active = static_cast<const uint32_t*>(ReplyPointer(reply));
  std::free(V_BYREF(&reply));
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(active[1], 0u);
  EXPECT_HR(S_OK, standin_->Activate(101));
  EXPECT_NE(active[1], 0u);  // indexed by number, and live
  EXPECT_HR(S_OK, standin_->Deactivate(101));
  EXPECT_EQ(active[1], 0u);

  ASSERT_HR(S_OK, Send(CommandBlock(0x200, 0), &reply));
  auto* table = static_cast<uint8_t*>(ReplyPointer(reply));
  std::free(V_BYREF(&reply));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(ReadU16(table), 0xFFFF);
  EXPECT_EQ(ReadU16(table + 2), 8);  // the sample's sources
  EXPECT_STREQ(reinterpret_cast<const char*>(table + 4), "NMI");
  std::free(table);  // the source table becomes the caller's
}

TEST_F(ServicesTest, TargetCommandRefusesWhatItCannotTakeAndSaysWhy) {
  auto target = ServiceAs<IVireoTargetCommand>(L"Marlin.TargetCommand", IID_IVireoTargetCommand);
  std::vector<uint8_t> record = InterruptRecord(101);
  VARIANT by_value;
  V_VT(&by_value) = VT_I4;
  V_I4(&by_value) = 0;
  VARIANT reply;
  VariantInit(&reply);
  EXPECT_HR(E_INVALIDARG, target->Command(Bstr(L"SimCommand").Get(), 0, by_value, &reply));
  EXPECT_EQ(V_VT(&reply), VT_EMPTY);
  VARIANT block;
  V_VT(&block) = VT_BYREF;
  V_BYREF(&block) = record.data();
  EXPECT_HR(E_INVALIDARG, target->Command(Bstr(L"RunCommand").Get(), 0, block, &reply));
  // A command for a trigger the simulator does not hold fails, without a reply.
  EXPECT_HR(E_FAIL, Send(CommandBlock(0x102, 140), &reply));
  EXPECT_EQ(V_VT(&reply), VT_EMPTY);
  EXPECT_EQ(Log(),
            "Vireo: TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
            "(0x4000) with a pointer; it came as type 0x0003\n"
            "Vireo: TargetCommand.Command: unknown command \"RunCommand\"; the host knows "
            "\"SimCommand\" only\n");
  EXPECT_EQ(Read(&IVireoStandin::get_SimulatorJournal), "E_FAIL: activate 140: no such trigger\n");
}

TEST_F(ServicesTest, EventCommandNamesEventsAndFailsToRemoveAMissingName) {
  auto events = ServiceAs<IVireoEventCommand>(L"Marlin.EventCommand", IID_IVireoEventCommand);
  EXPECT_HR(S_OK, events->AddEventName(101, Bstr(L"tick").Get()));
  EXPECT_HR(S_OK, events->AddEventName(100, Bstr(L"first").Get()));
  EXPECT_HR(S_OK, events->AddEventName(101, Bstr(L"tock").Get()));
  EXPECT_EQ(Read(&IVireoStandin::get_EventList), "100 first\n101 tock\n");
  EXPECT_HR(S_OK, events->RemoveEventName(101));
  EXPECT_HR(E_FAIL, events->RemoveEventName(101));
  EXPECT_EQ(Read(&IVireoStandin::get_EventList), "100 first\n");
}

TEST_F(ServicesTest, ReservedPlacesAreNotedWithTheirPosition) {
  auto memory = ServiceAs<IVireoMemoryCommand>(L"Marlin.MemoryCommand", IID_IVireoMemoryCommand);
  auto manager = ServiceAs<IVireoManager>(L"Marlin.Manager", IID_IVireoManager);
  auto events = ServiceAs<IVireoEventCommand>(L"Marlin.EventCommand", IID_IVireoEventCommand);
  EXPECT_HR(S_OK, memory->TriggersChanged());
  EXPECT_HR(E_NOTIMPL, memory->Reserved54());
  EXPECT_HR(E_NOTIMPL, manager->Reserved22());
  EXPECT_HR(E_NOTIMPL, events->Reserved07());
  EXPECT_EQ(Calls(), "TriggersChanged()\n");
  EXPECT_EQ(Log(),
            "Vireo: IVireoMemoryCommand: the caller used vtable position 54, where the host has "
            "no method for add-ins (E_NOTIMPL)\n"
            "Vireo: IVireoManager: the caller used vtable position 22, where the host has no "
            "method for add-ins (E_NOTIMPL)\n"
            "Vireo: IVireoEventCommand: the caller used vtable position 7, where the host has no "
            "method for add-ins (E_NOTIMPL)\n");
}

TEST_F(ServicesTest, EvaluationGivesTheTypesTheBridgeReads) {
  auto evaluation = ServiceAs<IVireoEvaluation>(L"Quillon.Evaluation", IID_IVireoEvaluation);
  struct Case {
    const wchar_t* expression;
    HRESULT hr;
    VARTYPE type;
    ULONG bits;
  };
  const Case cases[] = {
      {L"TX_BUFFER + 2", S_OK, VT_I4, 0x242},
      {L"-1", S_OK, VT_I4, 0xFFFFFFFF},
      {L"0xFFFFFFFF", S_OK, VT_UI4, 0xFFFFFFFF},
      {L"NO_SUCH_SYMBOL", E_FAIL, VT_EMPTY, 0},
      {L"1 +", E_FAIL, VT_EMPTY, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(Bstr(c.expression).Get()));
    UniqueVariant result;
    EXPECT_HR(c.hr, evaluation->Evaluate(Bstr(c.expression).Get(), result.Put()));
    EXPECT_EQ(V_VT(result.Get()), c.type);
    if (c.type != VT_EMPTY) {
      EXPECT_EQ(V_UI4(result.Get()), c.bits);
    }
  }
}

TEST_F(ServicesTest, LogAndCpuServicesAreCalledByMemberName) {
  ComPtr<IDispatch> log = Service(L"Tamber.Service");
  HRESULT hr = E_FAIL;
  const DISPID add = IdOfName(log.Get(), L"AddLogString", &hr);
  ASSERT_HR(S_OK, hr);
  EXPECT_HR(S_OK,
            InvokeMember(log.Get(), add, DISPATCH_METHOD, {TextArg(L"first\nsecond")}, nullptr));
  EXPECT_HR(DISP_E_BADPARAMCOUNT, InvokeMember(log.Get(), add, DISPATCH_METHOD, {}, nullptr));
  IdOfName(log.Get(), L"AddLog", &hr);
  EXPECT_HR(DISP_E_UNKNOWNNAME, hr);
  EXPECT_EQ(Log(), "first\nsecond\n");

  // The help code reaches the CPU service through the application's member "Object".
  const DISPID object = IdOfName(application_.Get(), L"Object", &hr);
  ASSERT_HR(S_OK, hr);
  UniqueVariant cpu;
  ASSERT_HR(S_OK, InvokeMember(application_.Get(), object, DISPATCH_PROPERTYGET,
                               {TextArg(L"Pennant.Service")}, cpu.Put()));
  ASSERT_EQ(V_VT(cpu.Get()), VT_DISPATCH);
  const DISPID name = IdOfName(V_DISPATCH(cpu.Get()), L"GetCPUName", &hr);
  ASSERT_HR(S_OK, hr);
  UniqueVariant family;
  ASSERT_HR(S_OK, InvokeMember(V_DISPATCH(cpu.Get()), name, DISPATCH_METHOD, {}, family.Put()));
  ASSERT_EQ(V_VT(family.Get()), VT_BSTR);
  EXPECT_EQ(Narrow(V_BSTR(family.Get())), "VX16");
}

}  // namespace
