// The automation classes of the ten trigger kinds: each forwards its own properties to its core
// trigger; TriggerObject does the rest.
#pragma once

#include <windows.h>

#include "core/triggers/connect_trigger.h"
#include "core/triggers/control_trigger.h"
#include "core/triggers/file_stream_trigger.h"
#include "core/triggers/interrupt_trigger.h"
#include "core/triggers/io_access_trigger.h"
#include "core/triggers/io_stream_trigger.h"
#include "core/triggers/message_trigger.h"
#include "core/triggers/sio_trigger.h"
#include "core/triggers/stream_trigger.h"
#include "core/triggers/transfer_trigger.h"
#include "win/com/trigger_ids.h"
#include "win/com/trigger_object.h"

namespace win::com {

namespace ct = core::triggers;

// Property bodies shared by the kinds: a long, a BSTR and a VARIANT property forwarded to the
// core trigger's accessor and put.
#define TRIGGER_LONG_PROPERTY(Name)                        \
  STDMETHODIMP get_##Name(LONG* value) noexcept override { \
    return ReturnValue(core_->Name(), value);              \
  }                                                        \
  STDMETHODIMP put_##Name(LONG value) noexcept override { return core_->Put##Name(value); }
#define TRIGGER_TEXT_PROPERTY(Name, Getter)                                                  \
  STDMETHODIMP get_##Name(BSTR* value) noexcept override {                                   \
    return ReturnText(core_->Getter(), value);                                               \
  }                                                                                          \
  STDMETHODIMP put_##Name(BSTR value) noexcept override {                                    \
    return WithText(value, [&](const std::string& text) { return core_->Put##Name(text); }); \
  }
#define TRIGGER_VARIANT_PROPERTY(Name, Getter)                                                   \
  STDMETHODIMP get_##Name(VARIANT* value) noexcept override {                                    \
    return ReturnVariant(core_->Getter(), value);                                                \
  }                                                                                              \
  STDMETHODIMP put_##Name(VARIANT value) noexcept override {                                     \
    return WithVariant(value,                                                                    \
                       [&](const core::automation::Variant& v) { return core_->Put##Name(v); }); \
  }

class InterruptTriggerObject
    : public TriggerObject<InterruptTriggerObject, IInterruptTrigger, ct::CInterruptTrigger> {
 public:
  using TriggerObject::TriggerObject;
  InterruptTriggerObject() = default;
  TRIGGER_LONG_PROPERTY(Cycle)
  TRIGGER_LONG_PROPERTY(Wait)
  TRIGGER_TEXT_PROPERTY(Source, Source)
  STDMETHODIMP get_Raise(VARIANT_BOOL* raise) noexcept override {
    return ReturnValue(core_->GetRaise(), raise);
  }
  STDMETHODIMP put_Raise(VARIANT_BOOL raise) noexcept override { return core_->PutRaise(raise); }
};

class IOAccessTriggerObject
    : public TriggerObject<IOAccessTriggerObject, IIOAccessTrigger, ct::CIOAccessTrigger> {
 public:
  using TriggerObject::TriggerObject;
  IOAccessTriggerObject() = default;
  TRIGGER_LONG_PROPERTY(Cycle)
  TRIGGER_LONG_PROPERTY(Wait)
  TRIGGER_LONG_PROPERTY(Extra1)
  TRIGGER_LONG_PROPERTY(Extra2)
  TRIGGER_LONG_PROPERTY(Extra3)
};

class IOStreamTriggerObject
    : public TriggerObject<IOStreamTriggerObject, IIOStreamTrigger, ct::CIOStreamTrigger> {
 public:
  using TriggerObject::TriggerObject;
  IOStreamTriggerObject() = default;
  STDMETHODIMP get_Destination(SHORT* port) noexcept override {
    return ReturnValue(core_->Destination(), port);
  }
  STDMETHODIMP put_Destination(SHORT port) noexcept override { return core_->PutDestination(port); }
};

class TransferTriggerObject
    : public TriggerObject<TransferTriggerObject, ITransferTrigger, ct::CTransferTrigger> {
 public:
  using TriggerObject::TriggerObject;
  TransferTriggerObject() = default;
  TRIGGER_LONG_PROPERTY(Cycle)
  TRIGGER_LONG_PROPERTY(Wait)
  TRIGGER_LONG_PROPERTY(Count)
  TRIGGER_TEXT_PROPERTY(Size, Size)
  TRIGGER_VARIANT_PROPERTY(Source, Source)
  TRIGGER_VARIANT_PROPERTY(Destination, Destination)
  TRIGGER_TEXT_PROPERTY(SrcMode, SrcMode)
  TRIGGER_TEXT_PROPERTY(DstMode, DstMode)
  STDMETHODIMP get_SrcModeValue(SHORT* value) noexcept override {
    return ReturnValue(core_->SrcModeValue(), value);
  }
  STDMETHODIMP put_SrcModeValue(SHORT value) noexcept override {
    return core_->PutSrcModeValue(value);
  }
  STDMETHODIMP get_DstModeValue(SHORT* value) noexcept override {
    return ReturnValue(core_->DstModeValue(), value);
  }
  STDMETHODIMP put_DstModeValue(SHORT value) noexcept override {
    return core_->PutDstModeValue(value);
  }
};

class StreamTriggerObject
    : public TriggerObject<StreamTriggerObject, IStreamTrigger, ct::CStreamTrigger> {
 public:
  using TriggerObject::TriggerObject;
  StreamTriggerObject() = default;
  TRIGGER_LONG_PROPERTY(Cycle)
  TRIGGER_LONG_PROPERTY(Wait)
  TRIGGER_LONG_PROPERTY(Count)
  TRIGGER_VARIANT_PROPERTY(Destination, Destination)
  TRIGGER_VARIANT_PROPERTY(Mask, Mask)
  TRIGGER_TEXT_PROPERTY(Size, Size)
  TRIGGER_TEXT_PROPERTY(RepeatMode, RepeatMode)
  TRIGGER_TEXT_PROPERTY(GenerateMode, GenerateMode)
  TRIGGER_TEXT_PROPERTY(DataList, DataList)
  TRIGGER_TEXT_PROPERTY(StreamSource, StreamSource)
  TRIGGER_TEXT_PROPERTY(Kind, KindText)
};

class ConnectTriggerObject
    : public TriggerObject<ConnectTriggerObject, IConnectTrigger, ct::CConnectTrigger> {
 public:
  using TriggerObject::TriggerObject;
  ConnectTriggerObject() = default;
  // The member list as VT_VARIANT|VT_ARRAY|VT_BYREF. The VARIANT refers to a cell of this object
  // that holds the array: it stays valid until the next read of Members or the object's end.
  STDMETHODIMP get_Members(VARIANT* members) noexcept override;
  STDMETHODIMP put_Members(VARIANT members) noexcept override {
    return WithVariant(members,
                       [&](const core::automation::Variant& v) { return core_->PutMembers(v); });
  }

 private:
  UniqueSafeArray members_cell_;
};

class ControlTriggerObject
    : public TriggerObject<ControlTriggerObject, IControlTrigger, ct::CControlTrigger> {
 public:
  using TriggerObject::TriggerObject;
  ControlTriggerObject() = default;
  TRIGGER_TEXT_PROPERTY(Action, Action)
  TRIGGER_TEXT_PROPERTY(Target, Target)
  // Four reserved slots of the interface: they do nothing and refuse.
  STDMETHODIMP Reserved1(LONG) noexcept override { return ct::CControlTrigger::Reserved(); }
  STDMETHODIMP Reserved2(LONG) noexcept override { return ct::CControlTrigger::Reserved(); }
  STDMETHODIMP Reserved3(LONG) noexcept override { return ct::CControlTrigger::Reserved(); }
  STDMETHODIMP Reserved4(LONG) noexcept override { return ct::CControlTrigger::Reserved(); }
};

class MessageTriggerObject
    : public TriggerObject<MessageTriggerObject, IMessageTrigger, ct::CMessageTrigger> {
 public:
  using TriggerObject::TriggerObject;
  MessageTriggerObject() = default;
  TRIGGER_LONG_PROPERTY(Cycle)
  TRIGGER_LONG_PROPERTY(Wait)
  TRIGGER_TEXT_PROPERTY(Destination, Destination)
  TRIGGER_VARIANT_PROPERTY(Source, GetSource)
  STDMETHODIMP get_Option(VARIANT_BOOL* option) noexcept override {
    return ReturnValue(core_->GetOption(), option);
  }
  STDMETHODIMP put_Option(VARIANT_BOOL option) noexcept override {
    return core_->PutOption(option);
  }
};

class SioTriggerObject : public TriggerObject<SioTriggerObject, ISioTrigger, ct::CSioTrigger> {
 public:
  using TriggerObject::TriggerObject;
  SioTriggerObject() = default;
  TRIGGER_VARIANT_PROPERTY(Source, GetSource)
  TRIGGER_TEXT_PROPERTY(DstMode, DstMode)
  TRIGGER_TEXT_PROPERTY(SrcMode, SrcMode)
  TRIGGER_TEXT_PROPERTY(Destination, Destination)
};

class FileStreamTriggerObject : public TriggerObject<FileStreamTriggerObject, IFileStreamTrigger,
                                                     ct::CFileStreamTrigger, Threading::Both> {
 public:
  using TriggerObject::TriggerObject;
  FileStreamTriggerObject() = default;
};

#undef TRIGGER_LONG_PROPERTY
#undef TRIGGER_TEXT_PROPERTY
#undef TRIGGER_VARIANT_PROPERTY

// The automation object of any core trigger, whatever its kind, with a new reference.
HRESULT TriggerPeer(const std::shared_ptr<ct::CTrigger>& trigger, REFIID iid, void** out) noexcept;

}  // namespace win::com
