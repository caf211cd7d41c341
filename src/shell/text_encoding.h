#pragma once
// The encodings of text files: GBK, in which text files are written, and
// UTF-8, which every text inside the program is (and the KML documents are).

#include <string>
#include <string_view>

#include "shell/status.h"

namespace skyrell {

enum class TextEncoding { Gbk, Utf8 };

// How a text file without a UTF-8 byte-order mark is read. Linux editors
// save UTF-8 without the mark, while GBK text is practically never valid
// UTF-8 (its characters pair lead bytes from 0x81 with trail bytes from 0x40,
// which UTF-8 forbids in almost every combination), so bytes that are entirely
// valid UTF-8 and hold a non-ASCII character are read as UTF-8, all others as
// GBK. The bytes may be fed in pieces of any size, in order; a character may
// be cut between two pieces.
class TextEncodingDecision {
  public:
    void Feed(std::string_view bytes);
    // False once a byte was met that UTF-8 does not allow there: the rest of
    // the file need not be fed.
    bool StillUtf8() const { return !broken_; }
    // The encoding of all bytes fed; a character cut off at the end makes
    // them GBK. `complete` false when only the start of the bytes was fed
    // (a pipe that cannot be read twice): the decision then rests on that
    // start, and a character cut off at its end is not held against it.
    TextEncoding Decision(bool complete = true) const;

  private:
    bool broken_ = false;
    bool nonAscii_ = false;
    int pending_ = 0;            // continuation bytes still expected
    unsigned char low_ = 0x80;   // allowed range of the next continuation
    unsigned char high_ = 0xBF;  // byte (narrower after E0, ED, F0, F4)
};

// The decision over bytes held whole.
TextEncoding DecideTextEncoding(std::string_view bytes);

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
