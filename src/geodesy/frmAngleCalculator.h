#pragma once
// The angle calculator: an angle in radians, or in degrees, minutes and
// seconds, as decimal degrees. Its return button hands the result to the
// window that opened it (the rotation dialog's angle box) and closes.

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace skyrell {

class frmAngleCalculator : public QWidget {
    Q_OBJECT
  public:
    // `giveBack` receives the result text when the return button is clicked.
    frmAngleCalculator(QWidget* owner, std::function<void(const QString&)> giveBack);
    ~frmAngleCalculator() override;

  private:
    void UseRadians();
    void UseDms();
    void Compute();
    void GiveBack();

    std::function<void(const QString&)> giveBack_;
    QRadioButton* optPi_;
    QLineEdit* txtPi_;
    QRadioButton* optDFM_;
    QLineEdit* txtD_;
    QLineEdit* txtF_;
    QLineEdit* txtM_;
    QLineEdit* txtResult_;
    QPushButton* cmdResult_;
    QToolButton* btnBack_;
};

}  // namespace skyrell
