// Commands of the POS conversions: the same conversion functions as the
// windows, so the files are byte for byte the same.

#include "app/cli_common.h"
#include "pos/pos_conversions.h"
#include "shell/atomic_file.h"
#include "shell/files.h"

namespace skyrell::cli {

namespace {

const std::vector<std::string> kDatums = {"1954", "1980", "2000", "1984"};
const std::vector<std::string> kZones = {"3", "6"};

int RunConversion(PosConversion conversion, const Args& args) {
    const bool projects = ProjectsCoordinates(conversion);
    const bool scaled = conversion == PosConversion::DxfPoint;
    std::vector<std::string> known;
    if (projects) known = {"datum", "zone"};
    if (scaled) known.push_back("scale");
    args.Expect(2, known);
    const auto pos = PathOf(args.Positional(0, "POS"));
    const auto output = PathOf(args.Positional(1, "OUT"));
    ConversionOptions options;
    if (projects) {
        options.coordinateSystem = args.Choice("datum", kDatums);
        options.zoneWidth = args.Choice("zone", kZones);
    }
    if (scaled) {
        const long long scale = args.Integer("scale", 500);
        if (scale <= 0) throw UsageError{"option --scale takes a positive whole number"};
        options.textScale = static_cast<double>(scale);
    }
    if (const Status distinct = CheckOutputIsNotInput(output, {pos}); !distinct)
        return Fail(distinct.message());
    const auto result = ConvertPosFile(conversion, pos, output, options);
    if (!result.ok()) return Fail(result.status.message());
    return kExitOk;
}

Command Conversion(std::string name, std::string usage, PosConversion conversion) {
    return {std::move(name), std::move(usage),
            [conversion](const Args& args) { return RunConversion(conversion, args); }};
}

}  // namespace

std::vector<Command> PosCommands() {
    return {
        Conversion("pos-kml-point", "POS OUT", PosConversion::KmlPoint),
        Conversion("pos-kml-polyline", "POS OUT", PosConversion::KmlPolyline),
        Conversion("pos-dxf-point", "POS OUT --datum 1954|1980|2000|1984 --zone 3|6 [--scale N]",
                   PosConversion::DxfPoint),
        Conversion("pos-dxf-polyline", "POS OUT --datum CODE --zone 3|6",
                   PosConversion::DxfPolyline),
        Conversion("pos-txt-bl", "POS OUT", PosConversion::TxtBl),
        Conversion("pos-txt-xy", "POS OUT --datum CODE --zone 3|6", PosConversion::TxtXy),
    };
}

}  // namespace skyrell::cli
