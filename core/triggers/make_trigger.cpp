// The kind-to-class map.
#include "core/triggers/make_trigger.h"

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

namespace core::triggers {

std::shared_ptr<CTrigger> MakeTrigger(TriggerKind kind, std::shared_ptr<TriggerContext> context) {
  switch (kind) {
    case TriggerKind::Interrupt:
      return std::make_shared<CInterruptTrigger>(std::move(context));
    case TriggerKind::IOStream:
      return std::make_shared<CIOStreamTrigger>(std::move(context));
    case TriggerKind::Transfer:
      return std::make_shared<CTransferTrigger>(std::move(context));
    case TriggerKind::Stream:
      return std::make_shared<CStreamTrigger>(std::move(context));
    case TriggerKind::Connect:
      return std::make_shared<CConnectTrigger>(std::move(context));
    case TriggerKind::Message:
      return std::make_shared<CMessageTrigger>(std::move(context));
    case TriggerKind::Sio:
      return std::make_shared<CSioTrigger>(std::move(context));
    case TriggerKind::Control:
      return std::make_shared<CControlTrigger>(std::move(context));
    case TriggerKind::FileStream:
      return std::make_shared<CFileStreamTrigger>(std::move(context));
    case TriggerKind::IOAccess:
      return std::make_shared<CIOAccessTrigger>(std::move(context));
  }
  return nullptr;
}

}  // namespace core::triggers
