// The command line: options, usage errors and the exit status over every project given.
#include "tools/trigger-check/cli.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "tools/trigger-check/report.h"

namespace trigger_check {
namespace {

constexpr char kUsage[] =
    "usage: trigger-check [--json] [--records] [--list] [--export FILE] [--fix] [--html DIR]\n"
    "                     PROJECT.vpj...\n"
    "       trigger-check --help\n";

struct Options : ReportOptions {
  std::vector<std::string> projects;
};

// Empty when the arguments are good; otherwise what is wrong with them.
std::string ParseArguments(const std::vector<std::string>& args, Options* options, bool* help) {
  bool options_end = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.empty() || arg[0] != '-' || arg == "-") {
      options->projects.push_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--help" || arg == "-h") {
      *help = true;
    } else if (arg == "--json") {
      options->json = true;
    } else if (arg == "--records") {
      options->records = true;
    } else if (arg == "--list") {
      options->list = true;
    } else if (arg == "--fix") {
      options->fix = true;
    } else if (arg == "--export" || arg.rfind("--export=", 0) == 0) {
      if (options->export_file) return "--export is given twice";
      if (arg == "--export") {
        if (i + 1 == args.size()) return "--export needs a file";
        options->export_file = args[++i];
      } else {
        options->export_file = arg.substr(9);
      }
    } else if (arg == "--html" || arg.rfind("--html=", 0) == 0) {
      if (options->html_folder) return "--html is given twice";
      if (arg == "--html") {
        if (i + 1 == args.size()) return "--html needs a folder";
        options->html_folder = args[++i];
      } else {
        options->html_folder = arg.substr(7);
      }
    } else {
      return "unknown option \"" + arg + "\"";
    }
  }
  if (*help) return {};
  if (options->projects.empty()) return "no project given";
  if (options->export_file && options->projects.size() > 1) {
    return "--export writes one list: give one project";
  }
  // Pages are named after their projects; one could not be told from another of its name.
  std::set<std::string> pages;
  for (const std::string& project : options->projects) {
    const std::string page = std::filesystem::path(project).stem().string();
    if (options->html_folder && !pages.insert(page).second) {
      return "--html writes one page per project name: two projects are named \"" + page + "\"";
    }
  }
  return {};
}

}  // namespace

int RunTriggerCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  bool help = false;
  const std::string problem = ParseArguments(args, &options, &help);
  if (help) {
    out << HelpText();
    return 0;
  }
  if (!problem.empty()) {
    err << "trigger-check: " << problem << '\n' << kUsage;
    return 2;
  }
  int status = 0;
  for (const std::string& project : options.projects) {
    status = std::max(status, CheckProject(project, options, out));
  }
  return status;
}

}  // namespace trigger_check
