// libFuzzer target: the RTF template reader. Any bytes either fail with a
// message or give a table whose cells lie inside the text, in order, and
// whose contents read back; the JPEG size reader takes any bytes too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "documents/rtf_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    const auto layout = skyrell::ParseRtfTable(rtf, "fuzz.rtf");
    if (!layout) return 0;
    std::size_t last = 0;
    for (const auto& row : layout->rows) {
        for (const auto& cell : row) {
            if (cell.begin < last || cell.begin > cell.cut || cell.cut > cell.end ||
                cell.end > rtf.size())
                std::abort();
            last = cell.end;
        }
    }
    if (!skyrell::ReadRtfTable(rtf, "fuzz.rtf")) std::abort();
    (void)skyrell::JpegPixelSize(rtf);
    return 0;
}
