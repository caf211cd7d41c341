#include "check/manual_check.h"

#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

constexpr std::size_t kPointNameLength = 5;
constexpr std::size_t kLatitudeColumn = 4;   // counted from 0
constexpr std::size_t kLongitudeColumn = 5;  // counted from 0

}  // namespace

std::optional<std::string> FindPrickedPhoto(const std::vector<std::string>& photos,
                                            std::string_view pointName) {
    for (const auto& photo : photos)
        if (LeadingCharacters(photo, kPointNameLength) == pointName) return photo;
    return std::nullopt;
}

RoughPositionLookup LookUpRoughPosition(const std::filesystem::path& sortieFolder,
                                        std::string_view pointName, const Feedback& feedback) {
    using Outcome = RoughPositionLookup::Outcome;
    RoughPositionLookup lookup;
    const auto table = CoordinateTablePath(sortieFolder);
    if (!FileExists(table)) return lookup;
    auto row = FindCoordinateRow(table, pointName, feedback);
    if (!row) {
        lookup.outcome = Outcome::ReadFailure;
        lookup.failure = row.status().message();
        return lookup;
    }
    lookup.outcome = Outcome::NoCoordinates;
    if (!row->has_value() || (*row)->Count() <= kLongitudeColumn) return lookup;
    const auto& fields = (*row)->items;
    const auto position = ConvertRoughPosition(fields[kLatitudeColumn], fields[kLongitudeColumn]);
    if (!position) return lookup;
    lookup.outcome = Outcome::Found;
    lookup.position = *position;
    return lookup;
}

}  // namespace skyrell
