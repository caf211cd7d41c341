// Latitude and longitude texts in the packed and the sexagesimal forms.
#include <cmath>
#include <cstdlib>

#include "check/rough_position.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto comma = text.find(',');
    const auto latitude = text.substr(0, comma);
    const auto longitude = comma == std::string_view::npos ? text : text.substr(comma + 1);
    for (auto form : {AngleForm::Packed, AngleForm::Sexagesimal})
        if (auto degrees = AngleDegrees(latitude, form); degrees && std::isnan(*degrees))
            std::abort();
    if (auto position = ConvertRoughPosition(latitude, longitude))
        (void)RoughPositionKml(latitude, *position);
    return 0;
}
