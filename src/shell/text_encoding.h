#pragma once
// The encodings of text files: GBK, in which text files are written, and
// UTF-8, which every text inside the program is (and the KML documents are).

#include <string>
#include <string_view>

#include "shell/status.h"

namespace skyrell {

enum class TextEncoding { Gbk, Utf8 };

// GBK bytes to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 to GBK. A character GBK cannot hold is refused with a message that
// names it (EncodingRefusalText); nothing is ever written as "?".
Result<std::string> Utf8ToGbk(std::string_view utf8);
std::string EncodingRefusalText(std::string_view character);
// The text with every character GBK cannot hold shown as its code point
// ("P😀" -> "P<U+1F600>") and every byte that is not UTF-8 as its value
// ("<0xD7>"), for texts such as file names that must reach a GBK file even
// when they cannot be held in it.
std::string GbkSafeText(std::string_view utf8);

}  // namespace skyrell
