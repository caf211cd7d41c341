// The POS conversions as the main window runs them, with fake dialogs and a
// fake desktop.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <filesystem>

#include "app/frmMain.h"
#include "app/qt_navigation_bar.h"
#include "pos/frmPosOptions.h"
#include "shell/atomic_file.h"
#include "shell/qt_job_runner.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::FakeServices;
using testing::ReadBytes;
using testing::RecordedMessage;
using testing::TempFolder;
using testing::WriteBytes;

const QString kOptionsQuestion =
    QStringLiteral("未设置转换选项，无法进行转换操作。\r\n是否设置转换选项？");

QString QPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

void ExpectMessage(const RecordedMessage& m, const QString& text, MsgIcon icon, MsgButtons buttons,
                   const QString& caption) {
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
    EXPECT_EQ(m.caption, caption);
}

// Options as the dialog's OK leaves them.
void SetOptions(frmMain& window, const char* system, const char* zone, double scale = 500) {
    auto& options = window.PosConversionOptions();
    options.coordinateSystem = system;
    options.zoneWidth = zone;
    options.textScale = scale;
}

frmPosOptions* OptionsDialog(frmMain& window) {
    auto* dialog = window.findChild<frmPosOptions*>(QStringLiteral("frmPosOptions"));
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

QComboBox* Box(QWidget* dialog, const char* name) {
    return dialog->findChild<QComboBox*>(QString::fromLatin1(name));
}

void Click(QWidget* dialog, const char* name) {
    dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

// Sets the dialog's three boxes and presses OK.
void ChooseOptions(frmPosOptions* dialog, int system, int zone, const QString& scale) {
    Box(dialog, "cboCS")->setCurrentIndex(system);
    Box(dialog, "cboZone")->setCurrentIndex(zone);
    auto* scales = Box(dialog, "cboFontScale");
    scales->setCurrentIndex(scales->findText(scale));
    Click(dialog, "cmdOK");
}

struct Case {
    const char* name;
    void (frmMain::*run)();
    const char* caption;
    const char* saveTitle;
    const char* saveFilter;
    const char* saveName;
    const char* golden;
    const char* finished;
    const char* system = "1954";  // the options the projecting conversions use
    const char* zone = "3";
    double scale = 2000;
};

const Case kCases[] = {
    {"KML points", &frmMain::PosKmlPoint, "POS->KML", "保存GoogleEarth KML文件",
     "GoogleEarth KML文件(*.KML)", "flight.KML", "pos/flight_point.kml",
     "POS数据转换完毕，是否打开转换后的KML文件？"},
    {"KML polyline", &frmMain::PosKmlPolyline, "POS->KML", "保存GoogleEarth KML文件",
     "GoogleEarth KML文件(*.KML)", "flight.KML", "pos/flight_polyline.kml",
     "POS数据转换完毕，是否打开转换后的KML文件？"},
    {"DXF points", &frmMain::PosDxfPoint, "POS->DXF", "保存AutoCAD DXF文件",
     "AutoCAD DXF文件(*.DXF)", "f.DXF", "pos/flight_point_1954_3_2000.dxf",
     "POS数据转换完毕，是否打开转换后的DXF文件？"},
    {"DXF polyline", &frmMain::PosDxfPolyline, "POS->DXF", "保存AutoCAD DXF文件",
     "AutoCAD DXF文件(*.DXF)", "f.DXF", "pos/flight_polyline_1980_6.dxf",
     "POS数据转换完毕，是否打开转换后的DXF文件？", "1980", "6"},
    {"ID,B,L", &frmMain::PosTxtBl, "POS->TXT", "保存坐标TXT文件", "坐标TXT文件(*.TXT)", "f.TXT",
     "pos/flight_bl.txt", "POS数据转换完毕，是否打开转换后的TXT文件？"},
    {"ID,X,Y", &frmMain::PosTxtXy, "POS->TXT", "保存坐标TXT文件", "坐标TXT文件(*.TXT)", "f.TXT",
     "pos/flight_xy_2000_3.txt", "POS数据转换完毕，是否打开转换后的TXT文件？", "2000", "3"},
};

TEST(frmMainPos, ConversionsAskForFilesWriteTheDocumentAndAskToOpenIt) {
    for (const auto& c : kCases) {
        FakeServices fake;
        TempFolder folder;
        frmMain window(fake.services);
        SetOptions(window, c.system, c.zone, c.scale);
        const auto out = folder / c.saveName;
        fake.dialogs.files = {QPath(DataFile("pos/flight.txt")), QPath(out)};
        (window.*c.run)();

        ASSERT_EQ(fake.dialogs.fileDialogs.size(), 2u) << c.name;
        const auto& open = fake.dialogs.fileDialogs[0];
        EXPECT_EQ(open.mode, FileDialogMode::Open);
        EXPECT_EQ(open.title, QStringLiteral("选择无人机POS文件"));
        EXPECT_EQ(open.filters, (std::vector<FileFilter>{{"无人机POS文件(*.TXT)", "*.TXT"}}));
        const auto& save = fake.dialogs.fileDialogs[1];
        EXPECT_EQ(save.mode, FileDialogMode::Save);
        EXPECT_EQ(save.title, QString::fromUtf8(c.saveTitle)) << c.name;
        EXPECT_EQ(
            save.filters,
            (std::vector<FileFilter>{{QString::fromUtf8(c.saveFilter),
                                      QString::fromUtf8(c.saveFilter).section('(', 1).chopped(1)}}))
            << c.name;

        EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile(c.golden))) << c.name;
        ASSERT_EQ(fake.dialogs.messages.size(), 1u) << c.name;
        ExpectMessage(fake.dialogs.messages[0], QString::fromUtf8(c.finished), MsgIcon::Question,
                      MsgButtons::YesNo, QString::fromUtf8(c.caption));
        // The fake answers No: nothing is opened.
        EXPECT_TRUE(fake.desktop.calls.empty()) << c.name;
    }
}

TEST(frmMainPos, YesOpensTheResultOrSaysTheProgramIsMissing) {
    struct Row {
        void (frmMain::*run)();
        const char* saveName;
        bool launches;
        const char* kind;
        const char* missing;  // message when the launch fails; empty when none is shown
        MsgIcon icon;
        const char* caption;
    };
    const Row rows[] = {
        {&frmMain::PosKmlPoint, "a.KML", true, "open", "", MsgIcon::None, ""},
        {&frmMain::PosKmlPolyline, "a.KML", false, "open",
         "系统未安装GoogleEarth，无法执行KML文件！", MsgIcon::Information, "POS->KML"},
        {&frmMain::PosDxfPoint, "a.DXF", true, "open", "", MsgIcon::None, ""},
        {&frmMain::PosDxfPolyline, "a.DXF", false, "open", "系统未安装AutoCAD，无法打开DXF文件！",
         MsgIcon::Exclamation, "POS->DXF"},
        {&frmMain::PosTxtBl, "a.TXT", true, "text", "", MsgIcon::None, ""},
        {&frmMain::PosTxtXy, "a.TXT", true, "text", "", MsgIcon::None, ""},
    };
    for (const auto& row : rows) {
        FakeServices fake;
        TempFolder folder;
        frmMain window(fake.services);
        SetOptions(window, "2000", "6", 500);
        fake.desktop.launchSucceeds = row.launches;
        const auto out = folder / row.saveName;
        fake.dialogs.files = {QPath(DataFile("pos/flight.txt")), QPath(out)};
        fake.dialogs.answers = {MsgAnswer::Yes};
        (window.*row.run)();
        ASSERT_EQ(fake.desktop.calls.size(), 1u) << row.saveName;
        EXPECT_EQ(fake.desktop.calls[0], (testing::DesktopCall{row.kind, QPath(out)}));
        EXPECT_TRUE(std::filesystem::exists(out));
        const std::size_t expected = *row.missing ? 2 : 1;
        ASSERT_EQ(fake.dialogs.messages.size(), expected) << row.saveName;
        if (*row.missing)
            ExpectMessage(fake.dialogs.messages[1], QString::fromUtf8(row.missing), row.icon,
                          MsgButtons::Ok, QString::fromUtf8(row.caption));
    }
}

TEST(frmMainPos, CancelledFileDialogsWriteNothing) {
    for (int answered = 0; answered < 2; ++answered) {
        for (const auto& c : kCases) {
            FakeServices fake;
            TempFolder folder;
            frmMain window(fake.services);
            SetOptions(window, "1954", "3");
            if (answered == 1) fake.dialogs.files = {QPath(DataFile("pos/flight.txt"))};
            (window.*c.run)();
            EXPECT_EQ(fake.dialogs.fileDialogs.size(), static_cast<std::size_t>(answered + 1));
            EXPECT_TRUE(fake.dialogs.messages.empty()) << c.name;
            EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << c.name;
        }
    }
}

TEST(frmMainPos, ProjectingConversionsAskForOptionsFirst) {
    struct Row {
        void (frmMain::*run)();
        const char* caption;
    };
    const Row rows[] = {{&frmMain::PosDxfPoint, "POS->DXF"},
                        {&frmMain::PosDxfPolyline, "POS->DXF"},
                        {&frmMain::PosTxtXy, "POS->TXT"}};
    for (const auto& row : rows) {
        FakeServices fake;
        frmMain window(fake.services);
        (window.*row.run)();  // the fake answers No
        ASSERT_EQ(fake.dialogs.messages.size(), 1u);
        ExpectMessage(fake.dialogs.messages[0], kOptionsQuestion, MsgIcon::Question,
                      MsgButtons::YesNo, QString::fromUtf8(row.caption));
        EXPECT_TRUE(fake.dialogs.fileDialogs.empty());
        EXPECT_EQ(OptionsDialog(window), nullptr);
    }
}

TEST(frmMainPos, YesToTheOptionsQuestionAndOkResumeTheConversion) {
    FakeServices fake;
    TempFolder folder;
    frmMain window(fake.services);
    fake.dialogs.answers = {MsgAnswer::Yes};
    window.PosDxfPoint();
    frmPosOptions* dialog = OptionsDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选项"));
    EXPECT_EQ(dialog->windowIcon().cacheKey(), window.windowIcon().cacheKey());
    EXPECT_TRUE(fake.dialogs.fileDialogs.empty());
    // A first opening shows Beijing 1954, 3-degree zones and 1:500.
    EXPECT_EQ(Box(dialog, "cboCS")->currentText(), QStringLiteral("1954年北京坐标系"));
    EXPECT_EQ(Box(dialog, "cboZone")->currentText(), QStringLiteral("3°分带"));
    EXPECT_EQ(Box(dialog, "cboFontScale")->currentText(), QStringLiteral("500"));

    const auto out = folder / "f.DXF";
    fake.dialogs.files = {QPath(DataFile("pos/flight.txt")), QPath(out)};
    ChooseOptions(dialog, 0, 0, QStringLiteral("2000"));
    EXPECT_EQ(OptionsDialog(window), nullptr);
    EXPECT_EQ(fake.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile("pos/flight_point_1954_3_2000.dxf")));
    const auto& options = window.PosConversionOptions();
    EXPECT_EQ(options.coordinateSystem, "1954");
    EXPECT_EQ(options.zoneWidth, "3");
    EXPECT_EQ(options.textScale, 2000);
    EXPECT_EQ(options.semiMajorAxis, 6378245.0);
    EXPECT_EQ(options.semiMinorAxis, 6356863.0188);
    // The flag stays set after the conversion.
    EXPECT_TRUE(options.pendingConversion.dxfPoint);
}

TEST(frmMainPos, OkResumesTheConversionThatAskedLast) {
    FakeServices fake;
    frmMain window(fake.services);
    fake.dialogs.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    window.PosDxfPoint();
    window.PosTxtXy();  // asks again while the dialog is open, and brings it forward
    frmPosOptions* dialog = OptionsDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(window.findChildren<frmPosOptions*>().size(), 1);
    ChooseOptions(dialog, 3, 1, QStringLiteral("1000"));
    ASSERT_EQ(fake.dialogs.fileDialogs.size(), 1u);  // cancelled by the fake
    EXPECT_EQ(fake.dialogs.fileDialogs[0].title, QStringLiteral("选择无人机POS文件"));
    const auto& flags = window.PosConversionOptions().pendingConversion;
    EXPECT_FALSE(flags.dxfPoint);
    EXPECT_TRUE(flags.txtXy);
    EXPECT_EQ(window.PosConversionOptions().coordinateSystem, "1984");
    EXPECT_EQ(window.PosConversionOptions().zoneWidth, "6");
}

TEST(frmMainPos, CancelLeavesOptionsEmptyAndResumesNothing) {
    FakeServices fake;
    frmMain window(fake.services);
    fake.dialogs.answers = {MsgAnswer::Yes};
    window.PosDxfPolyline();
    frmPosOptions* dialog = OptionsDialog(window);
    ASSERT_NE(dialog, nullptr);
    Box(dialog, "cboCS")->setCurrentIndex(2);
    Click(dialog, "cmdCancel");
    EXPECT_EQ(OptionsDialog(window), nullptr);
    EXPECT_TRUE(fake.dialogs.fileDialogs.empty());
    EXPECT_FALSE(window.PosConversionOptions().IsSet());
    window.PosDxfPolyline();
    ASSERT_EQ(fake.dialogs.messages.size(), 2u);
    EXPECT_EQ(fake.dialogs.messages[1].text, kOptionsQuestion);
}

TEST(frmMainPos, OptionsFromTheNavigationBarResumeNothingAndReopenWithTheLastChoices) {
    FakeServices fake;
    frmMain window(fake.services);
    SetOptions(window, "1954", "3");
    window.PosDxfPoint();  // file dialog cancelled; the DXF-points flag is set
    EXPECT_TRUE(window.PosConversionOptions().pendingConversion.dxfPoint);
    ASSERT_EQ(fake.dialogs.fileDialogs.size(), 1u);

    window.Navigation()->ClickGroupHeader(0);
    window.ItemClick(0, 6);
    window.ItemClick(0, 6);
    EXPECT_EQ(window.findChildren<frmPosOptions*>().size(), 1);
    frmPosOptions* dialog = OptionsDialog(window);
    ASSERT_NE(dialog, nullptr);
    ChooseOptions(dialog, 1, 1, QStringLiteral("200000"));
    EXPECT_EQ(fake.dialogs.fileDialogs.size(), 1u);  // no conversion ran
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    window.PosOptions();
    dialog = OptionsDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Box(dialog, "cboCS")->currentText(), QStringLiteral("1980西安坐标系"));
    EXPECT_EQ(Box(dialog, "cboZone")->currentText(), QStringLiteral("6°分带"));
    EXPECT_EQ(Box(dialog, "cboFontScale")->currentText(), QStringLiteral("200000"));
    EXPECT_EQ(Box(dialog, "cboFontScale")->count(), 11);
    EXPECT_EQ(Box(dialog, "cboCS")->count(), 4);
}

TEST(frmMainPos, NavigationItemsReachTheConversions) {
    for (int item = 0; item < 6; ++item) {
        FakeServices fake;
        frmMain window(fake.services);
        SetOptions(window, "1954", "3");
        window.ItemClick(0, item);
        ASSERT_EQ(fake.dialogs.fileDialogs.size(), 1u) << item;
        EXPECT_EQ(fake.dialogs.fileDialogs[0].title, QStringLiteral("选择无人机POS文件"));
    }
}

TEST(frmMainPos, FailuresAreReportedAndNoQuestionFollows) {
    TempFolder folder;
    WriteBytes(folder / "titles.txt", "title only\r\n");
    WriteBytes(folder / "bad.txt", "1 a b 114 30.x 0 0 0 0\r\n");
    WriteBytes(folder / "in.txt", ReadBytes(DataFile("pos/flight.txt")));
    struct Row {
        const char* name;
        void (frmMain::*run)();
        std::filesystem::path pos;
        std::filesystem::path out;
        QString text;
        MsgIcon icon;
        QString caption;
    };
    const auto titles = folder / "titles.txt", bad = folder / "bad.txt", in = folder / "in.txt";
    const Row rows[] = {
        {"no data", &frmMain::PosKmlPoint, titles, folder / "a.KML",
         "无人机POS文件 " + QPath(titles) + " 数据格式错误！", MsgIcon::Information, "POS->KML"},
        {"no data DXF", &frmMain::PosDxfPolyline, titles, folder / "a.DXF",
         "无人机POS文件 " + QPath(titles) + " 数据格式错误！", MsgIcon::Information, "POS->DXF"},
        {"bad latitude", &frmMain::PosTxtXy, bad, folder / "a.TXT",
         "无人机POS文件 " + QPath(bad) + " 第1行的纬度“30.x”不是数字！", MsgIcon::Exclamation,
         "POS->TXT"},
        {"the input itself", &frmMain::PosTxtBl, in, in, QString::fromStdString(SameFileText(in)),
         MsgIcon::Exclamation, "POS->TXT"},
    };
    for (const auto& row : rows) {
        FakeServices fake;
        frmMain window(fake.services);
        SetOptions(window, "1954", "3");
        fake.dialogs.files = {QPath(row.pos), QPath(row.out)};
        (window.*row.run)();
        ASSERT_EQ(fake.dialogs.messages.size(), 1u) << row.name;
        ExpectMessage(fake.dialogs.messages[0], row.text, row.icon, MsgButtons::Ok, row.caption);
        EXPECT_EQ(std::filesystem::exists(row.out), row.out == row.pos) << row.name;
    }
    EXPECT_EQ(ReadBytes(in), ReadBytes(DataFile("pos/flight.txt")));
}

TEST(frmMainPos, AFailedWriteIsReportedWithoutTheCompletionQuestion) {
    FakeServices fake;
    TempFolder folder;
    frmMain window(fake.services);
    fake.dialogs.files = {QPath(DataFile("pos/flight.txt")), QPath(folder / "missing" / "a.KML")};
    window.PosKmlPoint();
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].caption.startsWith(QStringLiteral("错误 - ")));
    EXPECT_EQ(fake.dialogs.messages[0].buttons, MsgButtons::Ok);
}

TEST(frmMainPos, ALongConversionRunsOffTheWindowThreadOneAtATime) {
    JobRunner::SetInline(false);
    FakeServices fake;
    TempFolder folder;
    std::string bytes;
    bytes.reserve(200000 * 40);
    for (int i = 0; i < 200000; ++i) bytes += "12345 a b 114.123456 30.123456 512.3 0 0 0\r\n";
    WriteBytes(folder / "big.txt", bytes);
    frmMain window(fake.services);
    window.show();
    fake.dialogs.files = {QPath(folder / "big.txt"), QPath(folder / "big.KML")};
    window.PosKmlPoint();
    // Running: the navigation is disabled, a second conversion asks nothing,
    // and closing waits for the end.
    EXPECT_FALSE(window.Navigation()->isEnabled());
    window.PosTxtBl();
    EXPECT_EQ(fake.dialogs.fileDialogs.size(), 2u);
    EXPECT_FALSE(window.close());
    while (window.isVisible()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(window.Navigation()->isEnabled());
    EXPECT_TRUE(fake.dialogs.messages.empty());  // nobody is left to be told

    // Run to its end: the file is written and the question follows.
    frmMain again(fake.services);
    fake.dialogs.files = {QPath(folder / "big.txt"), QPath(folder / "big.KML")};
    again.PosKmlPoint();
    while (!again.Navigation()->isEnabled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    JobRunner::SetInline(true);
    EXPECT_TRUE(std::filesystem::exists(folder / "big.KML"));
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Question);
}

}  // namespace
}  // namespace skyrell
