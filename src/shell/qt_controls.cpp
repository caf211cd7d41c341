#include "shell/qt_controls.h"

#include <QToolButton>

namespace skyrell {

QToolButton* MakeToolButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap,
                            const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(pixmap));
    button->setToolTip(tip);
    return button;
}

}  // namespace skyrell
