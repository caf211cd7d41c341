#pragma once
// Handing a file or folder to a program of the desktop, never silently: when
// the program cannot be started, a warning names the file or folder and where
// it lies, so that the user can open it by hand.

#include <QString>

#include "shell/services.h"

class QWidget;

namespace skyrell {

enum class OutsideProgram {
    TextEditor,   // Desktop::OpenTextFile
    FileManager,  // Desktop::OpenFolder
    Associated,   // Desktop::OpenWithAssociated: viewers, word processor, globe, CAD
    Browser,      // Desktop::OpenUrl: the help page and web addresses
};

// The warning for a program that could not be started on `target` (a path,
// or for the browser an address; a local file address is told as its path).
QString OutsideProgramFailureText(OutsideProgram program, const QString& target);

// Hands `target` to the program. When it cannot be started, shows
// OutsideProgramFailureText with the exclamation icon and OK, captioned with
// `caption`, or with the owner's caption when `caption` is empty. Returns
// whether the program was started.
bool OpenOutside(Services& services, QWidget* owner, OutsideProgram program, const QString& target,
                 const QString& caption = {});

}  // namespace skyrell
