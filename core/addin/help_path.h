// Context help: the topic paths of the trigger window and its dialogs, and how a topic becomes a
// path inside the help file of the project's CPU family ("Vireo3.chm::\html\SIM_WIN_Trigger.htm").
#pragma once

#include <string>

#include "core/bridge/ports.h"

namespace core::addin {

// Topics inside a CPU family's help file.
inline constexpr char kTriggerWindowTopic[] = "html\\SIM_WIN_Trigger.htm";
inline constexpr char kControlDialogTopic[] = "html\\SIM_DLG_CtrlTrg.htm";
inline constexpr char kIOStreamDialogTopic[] = "html\\SIM_DLG_IoTrg.htm";
inline constexpr char kInterruptDialogTopic[] = "html\\SIM_DLG_IntTrg.htm";
inline constexpr char kStreamDialogTopic[] = "html\\SIM_DLG_StrmTrg.htm";
inline constexpr char kTransferDialogTopic[] = "html\\SIM_DLG_TrnsTrg.htm";
inline constexpr char kConnectDialogTopic[] = "html\\SIM_DLG_ConnTrg.htm";

// Every topic the add-in opens.
inline constexpr const char* kHelpTopics[] = {
    kTriggerWindowTopic, kControlDialogTopic,  kIOStreamDialogTopic, kInterruptDialogTopic,
    kStreamDialogTopic,  kTransferDialogTopic, kConnectDialogTopic,
};

// The help-file prefix of a CPU family, by its exact (case-sensitive) name: "Orvex-1" gives
// "Vireo1.chm::\", and so on up to "Orvex-6"; any other name gives the empty prefix.
std::string HelpPrefix(const std::string& cpu_name);

// The help prefix of the CPU family, followed by the topic. `cpu_service` is the Pennant.Service of
// the host, asked for its member "GetCPUName"; without the service the path is empty. A service
// whose member is missing or answers no text counts as an unlisted family: the bare topic.
std::string BuildHelpPath(bridge::HostObject* cpu_service, const std::string& topic);

}  // namespace core::addin
