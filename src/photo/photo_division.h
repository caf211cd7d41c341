#pragma once
// Photo division by flight line: the photos of one sortie folder whose photo
// numbers lie between a first and a last number are copied into the folder of
// their flight line under a save folder. Photos are copied, never moved or
// changed, and a copy that already exists stays untouched.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

// The pattern of the photo files when the dialog opens and for the
// command-line program.
inline constexpr std::string_view kDefaultPhotoPattern = "*.JPG";

// The photo number of a file name: the trailing number of its title
// («IMG_0007.JPG» -> 7); empty when the title ends in no number.
std::optional<std::int64_t> PhotoNumberOf(std::string_view fileName);

// Whether n lies between the two ends, both included, in either order: a line
// flown against the numbering gives its first number as the larger one.
bool InPhotoRange(std::int64_t n, std::int64_t from, std::int64_t to);

// A whole decimal number as typed into a number box: optional sign, digits,
// blanks around it allowed. Anything else (empty, "12.5", "12a", a number
// beyond 64 bits) is not a whole number.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

struct DivideRequest {
    std::filesystem::path photoFolder;
    std::vector<std::string> photos;   // file names in photoFolder, in list order
    std::filesystem::path saveFolder;  // must exist
    std::string line;                  // name of the line folder made under saveFolder
    std::int64_t from = 0;
    std::int64_t to = 0;
};

struct DivideCount {
    std::int64_t copied = 0;      // photos copied into the line folder
    std::int64_t existing = 0;    // photos in range whose copy was already there
    std::int64_t unnumbered = 0;  // photos whose title ends in no number (skipped)
    bool operator==(const DivideCount&) const = default;
};

// Copies every photo of the request whose number lies in the range into
// saveFolder/line, making the line folder when it is missing and removing
// the partial copies that a killed run left there (the program's stale
// temporary files, see RemoveStaleTemporaries). The feedback
// hears the number of photos looked at so far after each photo; once it is
// cancelled the run ends after the photo at hand. The first failure
// (a missing save folder, a folder or copy that cannot be made) ends the run;
// copies made before it stay.
Result<DivideCount> DividePhotos(const DivideRequest& request,
                                 const Feedback& feedback = Feedback::None());

// The message after a run that skipped photos without a number.
std::string UnnumberedPhotosText(std::int64_t count);

}  // namespace skyrell
