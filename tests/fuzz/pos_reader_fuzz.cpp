// The POS format check, reader and KML conversions: every record has nine
// fields, a file the check accepts has a record, the numbers read without
// fault, and a KML document that is written holds only what XML can hold.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fuzz_file.h"
#include "pos/pos_conversions.h"
#include "pos/pos_file.h"
#include "shell/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const auto path = fuzz::InputFile("flight.txt", data, size);
    const Status check = PosFormatCheck(path);
    PosReader reader;
    if (!reader.Open(path)) std::abort();
    PosRecord record;
    bool any = false;
    while (reader.Next(record)) {
        any = true;
        if (record.fields.size() != PosRecord::kFieldCount) std::abort();
        for (auto field :
             {PosNumberField::Longitude, PosNumberField::Latitude, PosNumberField::Height})
            (void)PosNumber(record, field, path);
    }
    if (check.ok() && !any) std::abort();
    for (auto conversion : {PosConversion::KmlPoint, PosConversion::KmlPolyline}) {
        const auto kml = path.parent_path() / "flight.kml";
        if (!ConvertPosFile(conversion, path, kml, ConversionOptions()).ok()) continue;
        std::ifstream in(kml, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        if (FindNonXmlCharacter(std::string_view(text).substr(3))) std::abort();
    }
    return 0;
}
