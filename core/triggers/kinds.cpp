// The kind table and the status rule.
#include "core/triggers/kinds.h"

#include "core/automation/strings.h"

namespace core::triggers {

const std::array<KindInfo, 10>& KindTable() {
  static const std::array<KindInfo, 10> table = {{
      {TriggerKind::Interrupt, "CInterruptTrigger", "IInterruptTrigger", "Trigger.InterruptTrigger",
       "interrupt", "clearInterrupt", "Interrupt", "ClearInterrupt", "InterruptTriggerInfo",
       "interrupt", "CreateInterruptTrigger"},
      {TriggerKind::Transfer, "CTransferTrigger", "ITransferTrigger", "Trigger.TransferTrigger",
       "transfer", nullptr, "Transfer", nullptr, "TransferTriggerInfo", "transfer",
       "CreateTransferTrigger"},
      {TriggerKind::Stream, "CStreamTrigger", "IStreamTrigger", "Trigger.StreamTrigger", "data",
       "stream", "Stream", nullptr, "StreamTriggerInfo", "stream", "CreateStreamTrigger"},
      {TriggerKind::IOStream, "CIOStreamTrigger", "IIOStreamTrigger", "Trigger.IOStreamTrigger",
       "iostream", nullptr, "I/O Stream", nullptr, "IOStreamTriggerInfo", "iostream",
       "CreateIOStreamTrigger"},
      {TriggerKind::Connect, "CConnectTrigger", "IConnectTrigger", "Trigger.ConnectTrigger",
       "connect", nullptr, "Connect", nullptr, "ConnectTriggerInfo", "connect",
       "CreateConnectTrigger"},
      {TriggerKind::Control, "CControlTrigger", "IControlTrigger", "Trigger.ControlTrigger",
       "control", nullptr, "Control", nullptr, "ControlTriggerInfo", "control",
       "CreateControlTrigger"},
      {TriggerKind::Message, "CMessageTrigger", "IMessageTrigger", "Trigger.MessageTrigger",
       "message", nullptr, "Message", nullptr, "MessageTriggerInfo", "message",
       "CreateMessageTrigger"},
      {TriggerKind::Sio, "CSioTrigger", "ISioTrigger", "Trigger.SioTrigger", "sio", nullptr, "SIO",
       nullptr, "SioTriggerInfo", "sio", "CreateSioTrigger"},
      {TriggerKind::FileStream, "CFileStreamTrigger", "IFileStreamTrigger",
       "Trigger.FileStreamTrigger", "filestream", nullptr, "File I/O", nullptr,
       "FileStreamTriggerInfo", "filestream", "CreateFileStreamTrigger"},
      {TriggerKind::IOAccess, "CIOAccessTrigger", "IIOAccessTrigger", nullptr, "ioaccess", nullptr,
       "I/O Access", nullptr, "IOAccessTriggerInfo", "ioaccess", "CreateIOAccessTrigger"},
  }};
  return table;
}

const KindInfo& InfoOf(TriggerKind kind) {
  // By kind code, for the list's type column and the like, asked once per row.
  static const std::array<const KindInfo*, 16> by_code = [] {
    std::array<const KindInfo*, 16> table{};
    table.fill(&KindTable()[0]);  // code 1 and the codes after 10 name no kind
    for (const KindInfo& info : KindTable()) table[static_cast<size_t>(info.kind)] = &info;
    return table;
  }();
  const auto code = static_cast<size_t>(kind);
  return *by_code[code < by_code.size() ? code : 0];
}

const std::array<AcceptedKeyword, 12>& AcceptedKeywords() {
  static const std::array<AcceptedKeyword, 12> keywords = {{
      {"interrupt", TriggerKind::Interrupt},
      {"clearInterrupt", TriggerKind::Interrupt},
      {"ioStream", TriggerKind::IOStream},
      {"transfer", TriggerKind::Transfer},
      {"stream", TriggerKind::Stream},
      {"data", TriggerKind::Stream},
      {"connect", TriggerKind::Connect},
      {"message", TriggerKind::Message},
      {"control", TriggerKind::Control},
      {"sio", TriggerKind::Sio},
      {"filestream", TriggerKind::FileStream},
      {"ioaccess", TriggerKind::IOAccess},
  }};
  return keywords;
}

std::optional<TriggerKind> KindFromKeyword(std::string_view keyword) {
  for (const AcceptedKeyword& entry : AcceptedKeywords()) {
    if (automation::EqualsIgnoreCase(keyword, entry.keyword)) return entry.kind;
  }
  return std::nullopt;
}

std::string_view StatusText(TriggerKind kind, const TriggerFlags& flags) {
  const bool shows_modified = kind != TriggerKind::Interrupt && kind != TriggerKind::IOAccess;
  if (shows_modified && flags.modified == 1) return "Modified";
  if (flags.registered != 1) return "New";
  return flags.active == 1 ? "Activate" : "InActivate";
}

}  // namespace core::triggers
