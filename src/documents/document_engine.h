#pragma once
// DocumentEngine: fills the first table of a word-processing template and
// saves the result under a new name. The point records are made through it,
// one document per control point: open the template, write the cells, add the
// point's screenshot, save as, close.

#include <filesystem>
#include <string_view>

#include "shell/status.h"

namespace skyrell {

class DocumentEngine {
  public:
    virtual ~DocumentEngine() = default;

    // Opens a template; the file itself is only read. A template that cannot
    // be read or has no table fails with a message that names the file.
    virtual Status Open(const std::filesystem::path& templateFile) = 0;
    // Replaces the content of the cell (row, column) of the first table, both
    // counted from 1, by the UTF-8 text. A line end (CR LF, CR or LF) starts a
    // new paragraph in the cell.
    virtual Status SetCellText(int row, int column, std::string_view text) = 0;
    // Adds a JPEG picture at the start of the cell, at the picture's own size,
    // scaled down to the width of the cell when it is wider (aspect kept).
    virtual Status AddPicture(int row, int column, const std::filesystem::path& jpeg) = 0;
    // Writes the document in one atomic step, replacing a file of that name.
    virtual Status SaveAs(const std::filesystem::path& target) = 0;
    // Forgets the open document.
    virtual void Close() = 0;
};

}  // namespace skyrell
