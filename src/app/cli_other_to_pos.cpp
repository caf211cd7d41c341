// Commands of other data to POS.

#include "app/cli_common.h"

namespace skyrell::cli {

std::vector<Command> OtherToPosCommands() { return {}; }

}  // namespace skyrell::cli
