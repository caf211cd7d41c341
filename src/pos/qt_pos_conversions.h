#pragma once
// The six POS conversions and the options dialog as the main window runs
// them: file dialogs, the options question, the pending conversion that the
// options dialog's OK resumes, the conversion itself (the logic of
// pos_conversions.h, which the command-line program shares) and the
// completion question that opens the result.

#include "pos/conversion_options.h"
#include "pos/pos_conversions.h"
#include "shell/qt_job_runner.h"
#include "shell/qt_tool_windows.h"
#include "shell/services.h"

class QWidget;

namespace skyrell {

class PosConversions {
  public:
    // `owner` is the window the dialogs belong to; `tools` shows the options
    // dialog as one of its single-instance tools.
    PosConversions(Services& services, QWidget* owner, ToolWindows& tools);

    // Runs one conversion. The projecting ones (DXF, ID,X,Y) ask for the
    // options when none are set; the options dialog's OK resumes the one that
    // asked last.
    void Run(PosConversion conversion);
    // Opens the options dialog without resuming anything.
    void ShowOptions();

    ConversionOptions& Options() { return options_; }
    // Runs the conversions off the owner's thread; the owner names the
    // inputs it disables and asks it before closing.
    JobRunner& Runner() { return *runner_; }

  private:
    void ShowOptionsDialog();
    void ResumePending();
    // The messages after a conversion and the question that opens its result.
    void Finish(PosConversion conversion, const QString& output, const ConversionResult& result);

    Services& services_;
    QWidget* owner_;
    ToolWindows& tools_;
    ConversionOptions options_;
    JobRunner* runner_;  // a child of the owner
};

}  // namespace skyrell
