// Commands of the POS conversions.

#include "app/cli_common.h"

namespace skyrell::cli {

std::vector<Command> PosCommands() { return {}; }

}  // namespace skyrell::cli
