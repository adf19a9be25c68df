#include "cli_support.h"

namespace tarvo::cli {

void registerVoiceCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace tarvo::cli
