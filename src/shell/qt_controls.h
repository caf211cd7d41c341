#pragma once
// Small builders for the controls every tool window makes the same way.

#include <QString>
#include <QStyle>

class QToolButton;
class QWidget;

namespace skyrell {

// A picture button with the object name the tests find it by, one of the
// style's standard pictures and a tool tip.
QToolButton* MakeToolButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap,
                            const QString& tip);

}  // namespace skyrell
