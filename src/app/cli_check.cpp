// Commands of the data check.

#include "app/cli_common.h"

namespace skyrell::cli {

std::vector<Command> CheckCommands() { return {}; }

}  // namespace skyrell::cli
