#include "cli_support.h"

namespace tarvo::cli {

void registerStoreCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace tarvo::cli
