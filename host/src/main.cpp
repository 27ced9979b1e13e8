// qf-host: loads a deliverable and drives it as the host application would.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/report.h"

namespace {

using qfhost::HostError;

const char kUsage[] =
    "usage: qf-host [--fail CALL[:N]]... COMMAND DELIVERABLE\n"
    "Loads a QuillFrame deliverable and drives its commands as the host application does.\n"
    "\n"
    "Commands:\n"
    "  info     the property list and what global set-up reports, as JSON\n"
    "  params   the parameters the effect declares, as a JSON array\n"
    "\n"
    "DELIVERABLE is a path, or \"floral\" (QuillFrameFloral64.aex) or \"geometry\"\n"
    "(QuillFrame64.aex) for the deliverables next to qf-host.\n"
    "\n"
    "Options:\n"
    "  --fail CALL[:N]  make the Nth call (default the first) of a host callback fail;\n"
    "                   CALL is add_param, register_ui, checkout_param, host_new_handle,\n"
    "                   get_platform_data, AcquireSuite or PF_UpdateParamUI\n"
    "  -h, --help       this text; 'qf-host COMMAND --help' describes one command\n";

const char kInfoUsage[] =
    "usage: qf-host info DELIVERABLE\n"
    "Loads the deliverable, checks its property list, runs global set-up and set-down, and\n"
    "prints a JSON object: \"file\", \"property_list\" (kind, name, match name, category,\n"
    "entry point, versions, flags, keys in file order) and \"global_setup\" (my_version and\n"
    "out_flags as hex strings and numbers, the flag names, and whether both match the\n"
    "property list).\n";

const char kParamsUsage[] =
    "usage: qf-host params DELIVERABLE\n"
    "Runs global set-up, parameter set-up and global set-down, and prints one JSON object\n"
    "per declared parameter, numbered from 1 as the host numbers them: index, name, kind\n"
    "and kind_code, then by kind valid_range, slider_range, default, value, precision,\n"
    "choices, comment; and flags, ui_flags, ui_width, ui_height and id as declared.\n"
    "Fixed-point values print as decimals, colours as {r, g, b, a}, points in percent.\n";

struct UsageError {
  std::string message;
};

// Ends the command on a failed plug-in result or on any misuse the host noticed.
void Check(qfhost::HostSession& host, PF_Cmd cmd, PF_Err err) {
  const std::string what = qfhost::CommandName(cmd);
  if (!host.errors().empty()) {
    std::string message = "host error during " + what + ": " + host.errors().front();
    if (host.errors().size() > 1) message += " (and " + std::to_string(host.errors().size() - 1) + " more)";
    throw HostError(message);
  }
  if (err != PF_Err_NONE) throw HostError(what + " failed with error " + std::to_string(err));
}

void CheckEnd(const qfhost::HostSession& host) {
  const std::vector<std::string> suites = host.UnreleasedSuites();
  if (!suites.empty()) throw HostError("suite never released: " + suites.front());
  if (host.live_handle_count() != 0)
    throw HostError(std::to_string(host.live_handle_count()) + " handle(s) never disposed");
}

int Run(const std::string& command, const std::string& target, qfhost::HostSession& host) {
  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  qfhost::Json report;
  if (command == "info") {
    report = qfhost::InfoReport(effect);
  } else {
    Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());
    report = qfhost::ParamsReport(effect);
  }
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  std::fputs(report.Dump().c_str(), stdout);
  return 0;
}

void AddFailure(qfhost::HostSession& host, const std::string& spec) {
  const size_t colon = spec.find(':');
  const std::string name = spec.substr(0, colon);
  const auto call = qfhost::HostCallFromName(name);
  if (!call) throw UsageError{"--fail: unknown host call '" + name + "'"};
  int nth = 1;
  if (colon != std::string::npos) {
    const std::string count = spec.substr(colon + 1);
    char* end = nullptr;
    const long n = std::strtol(count.c_str(), &end, 10);
    if (count.empty() || *end != '\0' || n < 1 || n > 1000000)
      throw UsageError{"--fail: bad call number '" + count + "'"};
    nth = static_cast<int>(n);
  }
  host.FailCall(*call, nth);
}

int Main(int argc, char** argv) {
  qfhost::HostSession host;
  std::vector<std::string> words;
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      help = true;
    } else if (arg == "--fail") {
      if (i + 1 >= argc) throw UsageError{"--fail needs a host call"};
      AddFailure(host, argv[++i]);
    } else if (arg.rfind("--fail=", 0) == 0) {
      AddFailure(host, arg.substr(7));
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option '" + arg + "'"};
    } else {
      words.push_back(arg);
    }
  }
  if (help) {
    const std::string command = words.empty() ? "" : words[0];
    std::fputs(command == "info" ? kInfoUsage : command == "params" ? kParamsUsage : kUsage, stdout);
    return 0;
  }
  if (words.empty()) throw UsageError{"no command given (try --help)"};
  const std::string& command = words[0];
  if (command != "info" && command != "params") throw UsageError{"unknown command '" + command + "'"};
  if (words.size() != 2) throw UsageError{command + " takes one DELIVERABLE (try 'qf-host " + command + " --help')"};
  return Run(command, words[1], host);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const UsageError& e) {
    std::cerr << "qf-host: " << e.message << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "qf-host: " << e.what() << "\n";
    return 1;
  }
}
