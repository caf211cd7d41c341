// The pricking record: reading it, and writing back what was read. Numbers are
// written to 15 digits, so the second reading must equal the third.
#include <filesystem>

#include "fuzz_file.h"
#include "pricking/pricking.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const auto sortie = fuzz::Folder() / "sortie";
    std::filesystem::create_directories(sortie / "过程数据");
    const auto file = fuzz::InputFile("record.csv", data, size);
    std::filesystem::rename(file, PrickingRecordPath(sortie));
    const auto first = ReadPrickingRecord(sortie);
    if (!first || !WritePrickingRecord(sortie, *first)) return 0;
    const auto second = ReadPrickingRecord(sortie);
    if (!second || !WritePrickingRecord(sortie, *second)) std::abort();
    const auto third = ReadPrickingRecord(sortie);
    if (!third || *third != *second) std::abort();
    return 0;
}
