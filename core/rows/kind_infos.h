// The row adapters of the ten trigger kinds: which property each list column shows and which
// setters write it back. Columns and setters not named here are the base's "-" and no-op.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/rows/trigger_info.h"
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

namespace core::rows {

// Destination: the interrupt source. Type: "ClearInterrupt" for a clearing trigger.
class InterruptTriggerInfo : public TriggerInfoOf<triggers::CInterruptTrigger> {
 public:
  explicit InterruptTriggerInfo(std::shared_ptr<triggers::CInterruptTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  // Also refreshes the cached clear-interrupt flag from the trigger's Raise.
  std::string GetTypeText() const override;
  std::string GetDestinationText() const override;
  std::string GetCycleText() const override;
  std::string GetWaitText() const override;

  int SetDestination(std::string text) override;
  int SetCycle(std::string text) override;
  int SetWait(std::string text) override;

  // The clear choice as last seen in the Type column or set by the interrupt dialog.
  bool ClearInterrupt() const { return clear_interrupt_; }
  void SetClearInterrupt(bool clear) { clear_interrupt_ = clear; }

 private:
  mutable bool clear_interrupt_ = false;
};

class IOAccessTriggerInfo : public TriggerInfoOf<triggers::CIOAccessTrigger> {
 public:
  explicit IOAccessTriggerInfo(std::shared_ptr<triggers::CIOAccessTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetCycleText() const override;
  std::string GetWaitText() const override;
  int SetCycle(std::string text) override;
  int SetWait(std::string text) override;
};

class TransferTriggerInfo : public TriggerInfoOf<triggers::CTransferTrigger> {
 public:
  explicit TransferTriggerInfo(std::shared_ptr<triggers::CTransferTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetSizeText() const override;
  std::string GetDstModeText() const override;
  std::string GetSourceText() const override;
  std::string GetSrcModeText() const override;
  std::string GetCountText() const override;
  std::string GetCycleText() const override;
  std::string GetWaitText() const override;

  int SetDestination(std::string text) override;
  int SetSize(std::string text) override;
  int SetDstMode(std::string text) override;
  int SetSource(std::string text) override;
  int SetSrcMode(std::string text) override;
  int SetCount(std::string text) override;
  int SetCycle(std::string text) override;
  int SetWait(std::string text) override;

  // The two mode values, which have no column: read in automatic base, low 16 bits written;
  // shown as "%d" of the low 16 bits.
  std::string GetDstModeValueText() const;
  std::string GetSrcModeValueText() const;
  int SetDstModeValue(std::string text);
  int SetSrcModeValue(std::string text);
};

// Dst Mode shows the repeat mode, Src Mode the generate mode; Source shows the data list or the
// stream source by the trigger's Kind text.
class StreamTriggerInfo : public TriggerInfoOf<triggers::CStreamTrigger> {
 public:
  explicit StreamTriggerInfo(std::shared_ptr<triggers::CStreamTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetSizeText() const override;
  std::string GetDstModeText() const override;
  std::string GetSourceText() const override;
  std::string GetSrcModeText() const override;
  std::string GetMaskText() const override;
  std::string GetCountText() const override;
  std::string GetCycleText() const override;
  std::string GetWaitText() const override;

  int SetDestination(std::string text) override;
  int SetSize(std::string text) override;
  int SetDstMode(std::string text) override;
  int SetSrcMode(std::string text) override;
  int SetMask(std::string text) override;
  int SetCount(std::string text) override;
  int SetCycle(std::string text) override;
  int SetWait(std::string text) override;

  // The three texts the data dialog reads and writes besides the columns.
  std::string GetDataListText() const;
  std::string GetStreamSourceText() const;
  std::string GetSourceKindText() const;
  int SetDataList(std::string text);
  int SetStreamSource(std::string text);
  // The trigger's Kind property: "Data" or "Stream".
  int SetSourceKind(std::string text);
};

class IOStreamTriggerInfo : public TriggerInfoOf<triggers::CIOStreamTrigger> {
 public:
  explicit IOStreamTriggerInfo(std::shared_ptr<triggers::CIOStreamTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  // Numeric: the port, written as its low 16 bits.
  int SetDestination(std::string text) override;
};

// A connect trigger's members as one text, joined with "," (the Destination column), and back:
// every "," ends a member (an empty piece between two commas is one), a trailing "," adds none.
std::string JoinMembers(const std::vector<std::string>& members);
std::vector<std::string> SplitMembers(const std::string& text);

// Destination: the members joined with ","; Count: how many there are.
class ConnectTriggerInfo : public TriggerInfoOf<triggers::CConnectTrigger> {
 public:
  explicit ConnectTriggerInfo(std::shared_ptr<triggers::CConnectTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetCountText() const override;
  // Splits the text at every "," into the member list (an empty piece between two commas is a
  // member, a trailing comma adds none) and writes it to the trigger's Members.
  int SetDestination(std::string text) override;

  // The member list as last written by SetDestination.
  const std::vector<std::string>& Members() const { return members_; }

 private:
  std::vector<std::string> members_;
};

// Source: the message type's text.
class MessageTriggerInfo : public TriggerInfoOf<triggers::CMessageTrigger> {
 public:
  explicit MessageTriggerInfo(std::shared_ptr<triggers::CMessageTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetSourceText() const override;
  std::string GetCycleText() const override;
  std::string GetWaitText() const override;

  int SetDestination(std::string text) override;
  int SetCycle(std::string text) override;
  int SetWait(std::string text) override;
};

// Destination: the target trigger's name; Source: the control action.
class ControlTriggerInfo : public TriggerInfoOf<triggers::CControlTrigger> {
 public:
  explicit ControlTriggerInfo(std::shared_ptr<triggers::CControlTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetSourceText() const override;
  int SetDestination(std::string text) override;
  int SetSource(std::string text) override;
};

class SioTriggerInfo : public TriggerInfoOf<triggers::CSioTrigger> {
 public:
  explicit SioTriggerInfo(std::shared_ptr<triggers::CSioTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}

  std::string GetDestinationText() const override;
  std::string GetDstModeText() const override;
  std::string GetSourceText() const override;
  std::string GetSrcModeText() const override;

  int SetDestination(std::string text) override;
  int SetDstMode(std::string text) override;
  int SetSource(std::string text) override;
  int SetSrcMode(std::string text) override;
};

// Name only: every other column is "-".
class FileStreamTriggerInfo : public TriggerInfoOf<triggers::CFileStreamTrigger> {
 public:
  explicit FileStreamTriggerInfo(std::shared_ptr<triggers::CFileStreamTrigger> trigger)
      : TriggerInfoOf(std::move(trigger)) {}
};

}  // namespace core::rows
