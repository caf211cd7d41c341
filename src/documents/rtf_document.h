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
};

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

// UTF-8 text as RTF body text: "\", "{", "}" escaped, line ends as \par, tabs
// as \tab, other control characters dropped, every non-ASCII character as
// \uN? with N a signed 16-bit number (a surrogate pair beyond U+FFFF).
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
