// Commands of other data to POS.

#include "app/cli_common.h"
#include "pos/other_to_pos.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"

namespace skyrell::cli {

namespace {

int OtherToPos(const Args& args) {
    args.Expect(2, {"separator", "lat-column", "lon-column"});
    const auto data = PathOf(args.Positional(0, "DATA"));
    const auto out = PathOf(args.Positional(1, "OUT"));
    const std::string separator = args.Choice("separator", {"comma", "space"}) == "comma"
                                      ? std::string(kCommaSeparator)
                                      : std::string(kSpaceSeparator);
    const long long latColumn = args.Integer("lat-column");
    const long long lonColumn = args.Integer("lon-column");

    if (const Status distinct = CheckOutputIsNotInput(out, {data}); !distinct)
        return Fail(distinct.message());
    auto lines = ReadTextLines(data);
    if (!lines) return Fail(lines.status().message());
    // Only the columns of the first line can be chosen, as in the window.
    const auto columns = static_cast<long long>(ColumnCountOf(*lines, separator));
    for (const auto& [name, column] :
         {std::pair{"lat-column", latColumn}, {"lon-column", lonColumn}})
        if (column < 1 || column > columns)
            throw UsageError{"option --" + std::string(name) + " must be between 1 and " +
                             std::to_string(columns) + " (the columns of the first line)"};

    const auto latitudes = ColumnOf(*lines, separator, static_cast<std::size_t>(latColumn - 1));
    const auto longitudes = ColumnOf(*lines, separator, static_cast<std::size_t>(lonColumn - 1));
    if (const Status written = WriteOtherDataPos(out, latitudes, longitudes); !written)
        return Fail(written.message());
    return kExitOk;
}

}  // namespace

std::vector<Command> OtherToPosCommands() {
    return {{"other-to-pos", "DATA OUT --separator comma|space --lat-column N --lon-column N",
             OtherToPos}};
}

}  // namespace skyrell::cli
