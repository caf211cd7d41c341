// The POS format check and reader: every record has nine fields, a file the
// check accepts has a record, and the numbers read without fault.
#include <cstdlib>

#include "fuzz_file.h"
#include "pos/pos_file.h"

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
        if (record.Fields.size() != PosRecord::kFieldCount) std::abort();
        for (auto field :
             {PosNumberField::Longitude, PosNumberField::Latitude, PosNumberField::Height})
            (void)PosNumber(record, field, path);
    }
    if (check.ok() && !any) std::abort();
    return 0;
}
