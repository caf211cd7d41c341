// The point description file: finding a record and saving one into it.
#include "fuzz_file.h"
#include "project/point_descriptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace skyrell;
    const auto file = fuzz::InputFile("descriptions.txt", data, size);
    (void)FindPointDescription(file, "P0001");
    (void)SavePointDescription(file, {"P0001", "路口", "东侧", "", "x"});
    (void)FindPointDescription(file, "p0001");
    return 0;
}
