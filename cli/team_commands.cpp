#include "cli_support.h"

namespace tarvo::cli {

void registerTeamCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace tarvo::cli
