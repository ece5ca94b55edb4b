// sorvane-cli: Sorvane's command-line companion.

#include "cli/dump_command.h"
#include "cli/stderr_dialog_services.h"
#include "platform/text_codec.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

namespace {

constexpr int kUsageError = 2;

int usageError(const std::string& what) {
  std::cerr << "sorvane-cli: " << what << " (try 'sorvane-cli --help')\n";
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Sorvane's command-line companion: reads QM translation files.", "sorvane-cli"};
  app.set_version_flag("--version", std::string("sorvane-cli ") + SORVANE_VERSION);
  app.require_subcommand(1);

  std::string dumpPath;
  CLI::App* dump = app.add_subcommand(
      "dump", "Print every entry of a QM file as one JSON object per line, in index order.");
  dump->add_option("FILE.qm", dumpPath, "The QM file to read")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return usageError(e.what());
  }

  sorvane::StderrDialogServices dialogs(std::cerr);
  if (dump->parsed()) return sorvane::runDump(sorvane::fromLocal8Bit(dumpPath), std::cout, dialogs);
  return usageError("no command given");
}
