// Host access: the host application the add-in was connected to, its named services and its log.
#pragma once

#include <memory>
#include <string>

#include "core/bridge/ports.h"

namespace core::bridge {

// Names of the host services the add-in uses.
inline constexpr char kManagerService[] = "Marlin.Manager";
inline constexpr char kTargetCommandService[] = "Marlin.TargetCommand";
inline constexpr char kEventCommandService[] = "Marlin.EventCommand";
inline constexpr char kMemoryCommandService[] = "Marlin.MemoryCommand";
inline constexpr char kEvaluationService[] = "Quillon.Evaluation";
inline constexpr char kObjectFileService[] = "Quillon.Omf";
inline constexpr char kLogService[] = "Tamber.Service";
inline constexpr char kCpuNameService[] = "Pennant.Service";

class HostAccess {
 public:
  // Set on connection, cleared (nullptr) on disconnection.
  void SetApplication(std::shared_ptr<HostApplication> application) {
    application_ = std::move(application);
  }
  const std::shared_ptr<HostApplication>& Application() const { return application_; }

  // Null before connection, or when the host cannot provide the service.
  std::unique_ptr<HostObject> GetService(const std::string& name) const;

  // One entry in the host's log window. DISP_E_UNKNOWNINTERFACE without a log service; a failed
  // member lookup is returned unchanged; otherwise the result of the call.
  HResult WriteLog(const std::string& text) const;

 private:
  std::shared_ptr<HostApplication> application_;
};

}  // namespace core::bridge
