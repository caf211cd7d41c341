// Commands of the sortie folder and its files.

#include "app/cli_common.h"

namespace skyrell::cli {

std::vector<Command> ProjectCommands() { return {}; }

}  // namespace skyrell::cli
