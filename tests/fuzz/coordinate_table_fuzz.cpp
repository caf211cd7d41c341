// The coordinate results table as the check reads it.
#include "check/coordinate_table.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const auto table = fuzz::InputFile("results.csv", data, size);
    (void)ScanCoordinateTable(table);
    (void)FindCoordinateRow(table, "P0001");
    return 0;
}
