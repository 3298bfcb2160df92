// trigger-check: checks the triggers of Vireo projects on Linux, as the Trigger add-in loads them.
#include <iostream>
#include <string>
#include <vector>

#include "tools/trigger-check/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return trigger_check::RunTriggerCheck(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "trigger-check: " << e.what() << '\n';
    return 2;
  }
}
