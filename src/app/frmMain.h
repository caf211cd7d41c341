#pragma once
// The start-up window: the navigation bar ebMain, from which every tool is
// reached, and the single-instance tool windows it owns.

#include <QWidget>
#include <memory>
#include <vector>

#include "pos/qt_pos_conversions.h"
#include "shell/qt_tool_windows.h"
#include "shell/services.h"

class QLabel;

namespace skyrell {

class NavigationBar;
class TaskBar;

class frmMain : public QWidget {
    Q_OBJECT
  public:
    explicit frmMain(Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The single-instance tool windows the main window owns (see
    // ToolWindows): shown without blocking, brought forward on later calls.
    QWidget* ShowTool(const QString& name, const ToolWindows::Factory& make) {
        return tools_.Show(name, make);
    }
    QWidget* Tool(const QString& name) const { return tools_.Find(name); }
    template <class W>
    W* ShowTool() {
        return tools_.Show<W>();
    }

    NavigationBar* Navigation() const { return ebMain_; }
    Services& services() { return services_; }

    // The address of the help page that ships with the program.
    QString SupportAddress() const;

    // The POS conversions (PosConversions). The projecting ones (DXF,
    // ID,X,Y) ask for the options when none are set; the options dialog's OK
    // resumes the one that asked last. PosOptions opens the dialog without
    // resuming anything.
    void PosKmlPoint() { pos_.Run(PosConversion::KmlPoint); }
    void PosKmlPolyline() { pos_.Run(PosConversion::KmlPolyline); }
    void PosDxfPoint() { pos_.Run(PosConversion::DxfPoint); }
    void PosDxfPolyline() { pos_.Run(PosConversion::DxfPolyline); }
    void PosTxtBl() { pos_.Run(PosConversion::TxtBl); }
    void PosTxtXy() { pos_.Run(PosConversion::TxtXy); }
    void PosOptions() { pos_.ShowOptions(); }
    ConversionOptions& PosConversionOptions() { return pos_.Options(); }

  public slots:
    // Dispatches a click on item `item` of group `group`; any pair without an
    // item does nothing.
    void ItemClick(int group, int item);
    // Shows the pricking window on this sortie (the data-processing window's
    // step 2 asks for it).
    void OpenPricking(const QString& sortie);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // What a click on a navigation item does.
    using NavigationAction = void (*)(frmMain&);

    void BuildNavigation();
    void OpenSupportPage();

    Services& services_;
    NavigationBar* ebMain_;
    TaskBar* tbMain_;
    QLabel* imgMenu_;
    QLabel* imgTool_;
    QLabel* imgAbout_;
    std::vector<std::vector<NavigationAction>> actions_;  // [group][item]
    ToolWindows tools_;
    PosConversions pos_;
};

}  // namespace skyrell
