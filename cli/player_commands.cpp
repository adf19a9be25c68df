#include "cli_support.h"

namespace tarvo::cli {

void registerPlayerCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace tarvo::cli
