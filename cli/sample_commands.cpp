#include "cli_support.h"

namespace tarvo::cli {

void registerSampleCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace tarvo::cli
