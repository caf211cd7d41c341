// SplitFields in both modes: fields never overlap and never hold the separator.
#include <cstdint>
#include <cstdlib>

#include "shell/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::string_view kSeparators[] = {",", " ", ":", "_", ".", " ,, ", ""};
    const auto separator = kSeparators[data[0] % std::size(kSeparators)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto fields = skyrell::SplitFields(text, separator);
    if (fields.Count() == 0) std::abort();
    std::size_t total = 0;
    const auto sep = skyrell::TrimSpaces(separator);
    for (const auto& field : fields.items) {
        total += field.size();
        if (!sep.empty() && field.find(sep) != std::string::npos) std::abort();
    }
    if (total > text.size()) std::abort();
    return 0;
}
