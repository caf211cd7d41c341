// Commands of the data check.

#include <iostream>

#include "app/cli_common.h"
#include "check/sortie_check.h"
#include "shell/files.h"

namespace skyrell::cli {

namespace {

// Exit status of a check that ran but found a failing item.
constexpr int kExitCheckFailed = 3;

int RunCheck(const Args& args) {
    args.Expect(1, {});
    const auto sortie = PathOf(args.Positional(0, "SORTIE"));
    if (!IsSortieFolderPath(sortie)) return Fail(std::string(kNotSortieFolderText));
    const SystemClock clock;
    auto check = CheckSortieFolder(sortie, clock);
    if (!check) return Fail(check.status().message());
    if (Status written = WriteCheckReport(sortie, check->report); !written)
        return Fail(written.message());
    for (const auto& line : check->report) std::cout << line << '\n';
    return check->passed ? kExitOk : kExitCheckFailed;
}

}  // namespace

std::vector<Command> CheckCommands() { return {{"check", "SORTIE", RunCheck}}; }

}  // namespace skyrell::cli
