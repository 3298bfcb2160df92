// A new trigger of a kind, by its kind code: the one place that maps the kinds to their classes.
#pragma once

#include <memory>

#include "core/triggers/kinds.h"
#include "core/triggers/trigger.h"
#include "core/triggers/trigger_context.h"

namespace core::triggers {

// Constructed as its class constructs it: all flags false, the kind's initial name, no number.
std::shared_ptr<CTrigger> MakeTrigger(TriggerKind kind, std::shared_ptr<TriggerContext> context);

}  // namespace core::triggers
