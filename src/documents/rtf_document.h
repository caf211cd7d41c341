#pragma once
// The built-in DocumentEngine: templates and documents are RTF, saved under
// the ".doc" names the hand-in asks for (word processors open an RTF file by
// its content, whatever its name).
//
// Only the first table of the body is read: its rows, and in each row the
// cells as a word processor counts them (the n-th cell of the row; a cell
// that continues a horizontal (\clmrg) or vertical (\clvmrg) merge is not
// counted again). Everything else of the template is copied byte for byte.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/document_engine.h"
#include "shell/status.h"

namespace skyrell {

// One counted cell of the first table, as byte offsets into the RTF text.
struct RtfCell {
    std::size_t begin = 0;        // first byte after the previous cell or paragraph
    std::size_t cut = 0;          // first byte of content; [begin, cut) is formatting only
    std::size_t end = 0;          // the "\cell" word that closes the cell
    int restDepth = 0;            // groups opened (negative: closed) by [cut, end)
    int unicodeSkip = 1;          // the \uc value in effect at the cut
    std::int64_t widthTwips = 0;  // usable width (merged span, less the gaps)
};

struct RtfTableLayout {
    std::vector<std::vector<RtfCell>> rows;
    std::vector<std::int64_t> rowHeights;  // per row: its least height (\trrh), 0 if none
    std::int64_t pageBodyTwips = 0;        // page height less the top and bottom margins
};

// The tallest a picture in a cell of `row` (counted from 0) may be for the
// table to stay on one page: the page body less the other rows (each at
// least one line high) and an inch for what stands around the table (a
// title, the paragraph after it); 0 when nothing is left (no limit is set).
std::int64_t PictureHeightLimit(const RtfTableLayout& layout, std::size_t row);

// Finds the first table of an RTF text. `source` names the text in messages.
Result<RtfTableLayout> ParseRtfTable(std::string_view rtf, const std::filesystem::path& source);

// The content of one counted cell, read back as plain text (paragraphs joined
// by CR LF) and the number of pictures in it.
struct RtfCellContent {
    std::string text;
    int pictures = 0;
    bool operator==(const RtfCellContent&) const = default;
};
// The cell contents of the first table, row by row.
Result<std::vector<std::vector<RtfCellContent>>> ReadRtfTable(std::string_view rtf,
                                                              const std::filesystem::path& source);

// Fallback bytes after each \uN escape that RtfEscaped writes (\uc2).
inline constexpr int kRtfFallbackBytes = 2;

// UTF-8 text as RTF body text for a place where \uc2 is in effect: "\",
// "{", "}" escaped, line ends as \par, tabs as \tab, other control
// characters dropped, every non-ASCII character as \uN with N a signed 16-bit
// number (a surrogate pair beyond U+FFFF), followed by its GBK bytes as
// \'hh\'hh ("\u28857\'b5\'e3" for 点), or "??" when GBK does not hold it in
// two bytes.
std::string RtfEscaped(std::string_view utf8);

// Pixel size of a JPEG (from its frame header); {0, 0} when it is not one.
std::pair<int, int> JpegPixelSize(std::string_view jpeg);

class RtfDocumentEngine : public DocumentEngine {
  public:
    Status Open(const std::filesystem::path& templateFile) override;
    Status SetCellText(int row, int column, std::string_view text) override;
    Status AddPicture(int row, int column, const std::filesystem::path& jpeg) override;
    Status SaveAs(const std::filesystem::path& target) override;
    void Close() override;

  private:
    struct CellEdit {
        std::vector<std::string> pictures;  // RTF picture groups, in order added
        bool replaced = false;
        std::string text;  // RTF of the new content when replaced
    };
    Result<const RtfCell*> CellAt(int row, int column) const;

    bool open_ = false;
    std::filesystem::path templateFile_;
    std::string rtf_;
    RtfTableLayout table_;
    // Keyed by the cell's begin offset, so that saving walks them in file order.
    std::map<std::size_t, CellEdit> edits_;
};

}  // namespace skyrell
