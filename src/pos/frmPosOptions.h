#pragma once
// The options dialog of the projecting POS conversions: coordinate system,
// zone width and text scale. OK stores the choices and then calls `accepted`,
// which resumes the conversion that asked for the options; Cancel changes
// nothing. The dialog reads the options each time it opens, so it shows the
// last choices.

#include <QWidget>
#include <functional>

#include "pos/conversion_options.h"
#include "shell/services.h"

class QComboBox;
class QPushButton;

namespace skyrell {

class frmPosOptions : public QWidget {
    Q_OBJECT
  public:
    frmPosOptions(Services& services, QWidget* owner, ConversionOptions& options,
                  std::function<void()> accepted);

  private:
    void Load();
    void Accept();

    ConversionOptions& options_;
    std::function<void()> accepted_;
    QComboBox* cboCS_;
    QComboBox* cboZone_;
    QComboBox* cboFontScale_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace skyrell
