// The raw GNSS export of either controller, through to the written results.
#include "fuzz_file.h"
#include "project/coordinate_results.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const auto raw = fuzz::InputFile("raw.csv", data, size);
    for (auto make : {ControllerMake::HiTarget, ControllerMake::Chc})
        (void)WriteCoordinateResults(raw, RawCsvLayoutOf(make),
                                     {"P0001_IMG_1.jpg", "p0002_2.jpg", "P_3.jpg"},
                                     fuzz::Folder() / "results.csv");
    return 0;
}
