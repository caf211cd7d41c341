#pragma once
// What the manual check of one control point looks up in the sortie folder:
// its pricked-point photo in the list the automatic check took, and its rough
// position from the coordinate results.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/coordinate_table.h"
#include "check/rough_position.h"

namespace skyrell {

// The first photo whose name begins with the point name's five characters,
// compared exactly. Point names have five characters ("P0001"), so a shorter
// name never matches ("P012" against "P012_…") and "P00012_…" is taken for
// "P0001" when it comes first.
std::optional<std::string> FindPrickedPhoto(const std::vector<std::string>& photos,
                                            std::string_view pointName);

struct RoughPositionLookup {
    enum class Outcome {
        Found,
        NoTable,        // the coordinate results file does not exist
        NoCoordinates,  // no row of the point, or a row without usable latitude and longitude
        ReadFailure,    // the file exists but cannot be read; see `failure`
    };
    Outcome outcome = Outcome::NoTable;
    RoughPosition position;
    std::string failure;
};

// Reads the point's first row of the coordinate results and converts its
// latitude (column 5) and longitude (column 6).
RoughPositionLookup LookUpRoughPosition(const std::filesystem::path& sortieFolder,
                                        std::string_view pointName,
                                        const Feedback& feedback = Feedback::None());

}  // namespace skyrell
