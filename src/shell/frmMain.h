#pragma once
// The start-up window: the navigation bar ebMain, from which every tool is
// reached, and the single-instance tool windows it owns.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <utility>

#include "pos/conversion_options.h"
#include "shell/services.h"

class QLabel;

namespace skyrell {

class NavigationBar;
class TaskBar;
enum class PosConversion;

class frmMain : public QWidget {
    Q_OBJECT
  public:
    explicit frmMain(Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Makes a tool window. Every tool window is constructed as
    // `frmX(Services&, QWidget* owner)` and is a top-level window owned by the
    // main window.
    using ToolFactory = std::function<QWidget*(Services&, QWidget* owner)>;

    // Shows the tool `name`: created on first use (or after the user closed
    // it), shown without blocking, and brought forward on later calls.
    QWidget* ShowTool(const QString& name, const ToolFactory& make);
    // The open instance of a tool, or null.
    QWidget* Tool(const QString& name) const;

    template <class W>
    W* ShowTool() {
        return static_cast<W*>(
            ShowTool(W::staticMetaObject.className(),
                     [](Services& s, QWidget* owner) -> QWidget* { return new W(s, owner); }));
    }

    NavigationBar* Navigation() const { return ebMain_; }
    Services& services() { return services_; }

    // The address of the help page that ships with the program.
    QString SupportAddress() const;

    // The POS conversions (src/pos/qt_pos_conversions.cpp). The projecting
    // ones (DXF, ID,X,Y) ask for the options when none are set; the options
    // dialog's OK resumes the one that asked last. PosOptions opens the
    // dialog without resuming anything.
    void PosKmlPoint();
    void PosKmlPolyline();
    void PosDxfPoint();
    void PosDxfPolyline();
    void PosTxtBl();
    void PosTxtXy();
    void PosOptions();
    ConversionOptions& PosConversionOptions() { return posOptions_; }

  public slots:
    // Dispatches a click on item `item` of group `group`; any pair without an
    // action does nothing.
    void ItemClick(int group, int item);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildNavigation();
    void BuildDispatch();
    void OpenSupportPage();

    Services& services_;
    NavigationBar* ebMain_;
    TaskBar* tbMain_;
    QLabel* imgMenu_;
    QLabel* imgTool_;
    QLabel* imgAbout_;
    std::map<std::pair<int, int>, std::function<void()>> actions_;
    std::map<QString, QPointer<QWidget>> tools_;

    void RunPosConversion(PosConversion conversion);
    void ShowPosOptions();
    void ResumePendingPosConversion();
    ConversionOptions posOptions_;
};

}  // namespace skyrell
