// The host calls an add-in made, read back from the journal of the stand-in and made again by this
// program directly on the stand-in objects: the floor of what loading a project costs the host,
// whatever the add-in does around it. Every argument is made before the calls are timed, so that
// what is timed is the host's work and the COM calls into it.
#pragma once

#include <windows.h>

#undef GetObject

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standin/win/standin_ids.h"
#include "win/comkit/raii.h"

namespace bench::win {

class HostCalls {
 public:
  HostCalls();
  ~HostCalls();
  HostCalls(const HostCalls&) = delete;
  HostCalls& operator=(const HostCalls&) = delete;

  // The calls of `journal` (one line per call, as IVireoStandin::Journal gives them), with the
  // records the simulator holds for the ids they define; the registration calls need the resource
  // module's handle. False, with the line it cannot make in *error, for a call it does not know.
  bool Read(const std::string& journal, IVireoStandin* standin, HMODULE resources,
            std::string* error);

  size_t size() const { return calls_.size(); }
  // Counts by kind of call ("GetService", "SimCommand(0x0100)", ...), for the report.
  std::map<std::string, int> Kinds() const;

  // Makes every call on the host application; false with the failing line in *error.
  bool Make(IDispatch* application, std::string* error);

 private:
  struct Call;
  std::vector<std::unique_ptr<Call>> calls_;
};

}  // namespace bench::win
