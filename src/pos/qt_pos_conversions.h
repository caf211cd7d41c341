#pragma once
// The six POS conversions and the options dialog as the main window runs
// them: file dialogs, the options question, the pending conversion that the
// options dialog's OK resumes, the conversion itself (the logic of
// pos_conversions.h, which the command-line program shares) and the
// completion question that opens the result.

#include "pos/conversion_options.h"
#include "pos/pos_conversions.h"
#include "shell/qt_tool_windows.h"
#include "shell/services.h"

class QWidget;

namespace skyrell {

class PosConversions {
  public:
    // `owner` is the window the dialogs belong to; `tools` shows the options
    // dialog as one of its single-instance tools.
    PosConversions(Services& services, QWidget* owner, ToolWindows& tools)
        : services_(services), owner_(owner), tools_(tools) {}

    // Runs one conversion. The projecting ones (DXF, ID,X,Y) ask for the
    // options when none are set; the options dialog's OK resumes the one that
    // asked last.
    void Run(PosConversion conversion);
    // Opens the options dialog without resuming anything.
    void ShowOptions();

    ConversionOptions& Options() { return options_; }

  private:
    void ShowOptionsDialog();
    void ResumePending();

    Services& services_;
    QWidget* owner_;
    ToolWindows& tools_;
    ConversionOptions options_;
};

}  // namespace skyrell
