// Where the registry keeps its triggers in the host's project settings: section "Trigger", the
// line count under "MaxNum" and one definition line per trigger under "0", "1", ... in slot order.
// SaveTriggers and LoadTriggers are the registry's (definition_storage.cpp).
#pragma once

namespace core::registry {

inline constexpr char kProfileSection[] = "Trigger";
inline constexpr char kLineCountKey[] = "MaxNum";

}  // namespace core::registry
