#include "project/frmDataExecute.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "app/frmMain.h"
#include "project/frmInfo.h"
#include "shell/files.h"
#include "shell/text_encoding.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::FakeServices;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const QString kCaption = QStringLiteral("像控点数据处理");

QString Text(const frmDataExecute& w, const char* name) {
    auto* box = w.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(box, nullptr) << name;
    return box ? box->text() : QString();
}

void SetText(frmDataExecute& w, const char* name, const QString& text) {
    w.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

void Click(frmDataExecute& w, const char* name) {
    auto* button = w.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

QString Folder(const fs::path& path) {
    return Q(PathText(path)) + QChar(static_cast<char16_t>(fs::path::preferred_separator));
}

void ExpectMessage(const FakeServices& fake, const QString& text, MsgIcon icon) {
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].text, text);
    EXPECT_EQ(fake.dialogs.messages[0].icon, icon);
    EXPECT_EQ(fake.dialogs.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(fake.dialogs.messages[0].caption, kCaption);
}

const char* const kPathBoxes[] = {"txtCDP", "txtDZJ", "txtXCZP", "txtYSSJ", "txtZBCG", "txtGCSJ"};
const char* const kSubFolders[] = {"刺点片",   "点之记",   "现场照片",
                                   "原始数据", "坐标成果", "过程数据"};

TEST(frmDataExecute, ControlsAsDocumented) {
    FakeServices fake;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English));  // the dates stay Chinese
    frmDataExecute w(fake.services, nullptr);
    QLocale::setDefault(before);
    EXPECT_EQ(w.windowTitle(), kCaption);
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdCreateFolder", "新建项目目录"},
        {"cmdOpenFolder", "打开项目目录"},
        {"cmdCDP", "打开目录"},
        {"cmdDZJ", "打开目录"},
        {"cmdXCZP", "打开目录"},
        {"cmdYSSJ", "打开目录"},
        {"cmdZBCG", "打开目录"},
        {"cmdGCSJ", "打开目录"},
        {"cmdCsv", "创建/修改点位描述文件"},
        {"cmdCoordinate", "中海达原始数据"},
        {"cmdHuace", "华测原始数据"},
        {"cmdWord", "批量创建点之记"},
        {"cmdUser", "修改人员姓名"},
    };
    for (const auto& [name, caption] : buttons) {
        auto* button = w.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
    }
    const char* const groups[] = {
        "第一步：创建/打开目录", "第二步：刺点、保存截图、保存观测数据、保存现场照片",
        "第三步：创建/修改点位描述文件", "第四步：创建像控点成果表", "第五步：批量创建点之记"};
    QStringList titles;
    for (auto* group : w.findChildren<QGroupBox*>()) titles << group->title();
    for (const char* title : groups)
        EXPECT_TRUE(titles.contains(QString::fromUtf8(title))) << title;

    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(Text(w, kPathBoxes[i]), QString());
    EXPECT_EQ(Text(w, "txtNum"), QString());
    EXPECT_TRUE(w.findChild<QLineEdit*>("txtNum")->isReadOnly());
    EXPECT_EQ(w.findChild<QCheckBox*>("chkName")->text(), QStringLiteral("人员姓名可编辑"));
    ASSERT_NE(w.findChild<QListWidget*>("fleJpg"), nullptr);
    ASSERT_NE(w.findChild<QListWidget*>("fleJT"), nullptr);
    for (const char* name : {"txtDate1", "txtDate2", "txtDate3"})
        EXPECT_EQ(Text(w, name), "2013/1/5");
}

TEST(frmDataExecute, NameBoxesFollowTheCheckBoxDateBoxesStayEditable) {
    FakeServices fake;
    frmDataExecute w(fake.services, nullptr);
    auto* check = w.findChild<QCheckBox*>("chkName");
    EXPECT_FALSE(check->isChecked());
    for (bool ticked : {false, true, false}) {
        check->setChecked(ticked);
        for (const char* name : {"txtUser1", "txtUser2", "txtUser3"})
            EXPECT_EQ(w.findChild<QLineEdit*>(name)->isEnabled(), ticked) << name;
        for (const char* name : {"txtDate1", "txtDate2", "txtDate3"})
            EXPECT_TRUE(w.findChild<QLineEdit*>(name)->isEnabled()) << name;
    }
}

TEST(frmDataExecute, HintBoxScrollsFiftyCharactersASecondAndStartsAgain) {
    FakeServices fake;
    frmDataExecute w(fake.services, nullptr);
    auto* hints = w.findChild<QPlainTextEdit*>("txt2");
    auto* timer = w.findChild<QTimer*>("tmrText");
    ASSERT_NE(hints, nullptr);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(hints->isReadOnly());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    const QStringList lines = hints->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1.刺点按要求手动处理")));
    EXPECT_EQ(lines[3], QStringLiteral(
                            "4.将现场远景照片命名为“点号.jpg”(如：P0001.jpg)放到“现场照片”目录。"));

    const int end = hints->document()->characterCount() - 1;
    std::vector<int> positions;
    for (int tick = 0; tick * 50 < end + 100; ++tick) {
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        positions.push_back(hints->textCursor().position());
    }
    EXPECT_EQ(positions[0], 50);
    EXPECT_EQ(positions[1], 100);
    const auto atEnd = std::find(positions.begin(), positions.end(), end);
    ASSERT_NE(atEnd, positions.end());
    ASSERT_NE(atEnd + 1, positions.end());
    EXPECT_EQ(*(atEnd + 1), 50);  // from the end back to the start, then on
}

TEST(frmDataExecute, CreateMakesTheTreeOfTheDayAndFillsThePathBoxes) {
    FakeServices fake;
    TempFolder root;
    frmDataExecute w(fake.services, nullptr);
    w.findChild<QCheckBox*>("chkName")->setChecked(true);
    SetText(w, "txtUser1", QStringLiteral("op1"));
    fake.dialogs.inputs.push_back(QStringLiteral("  3 "));
    fake.dialogs.folders.push_back(Q(PathText(root.path())));
    Click(w, "cmdCreateFolder");

    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(fake.dialogs.inputPrompts, std::vector<QString>{QStringLiteral("输入架次号")});
    ASSERT_EQ(fake.dialogs.folderDialogs.size(), 1u);
    EXPECT_EQ(fake.dialogs.folderDialogs[0].title, QStringLiteral("选择路径"));
    EXPECT_EQ(fake.dialogs.folderDialogs[0].initialFolder, QString());
    const fs::path sortie = root / "2013-1-5" / "op1" / "第3架次";
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(fs::is_directory(sortie / kSubFolders[i])) << kSubFolders[i];
        EXPECT_EQ(Text(w, kPathBoxes[i]), Folder(sortie / kSubFolders[i]));
    }
    EXPECT_EQ(Text(w, "txtNum"), QStringLiteral("3"));
    EXPECT_EQ(w.SortieNumber(), QStringLiteral("3"));
    EXPECT_EQ(w.CoordinateResultPath(), Folder(sortie / "坐标成果"));

    Click(w, "cmdZBCG");
    ASSERT_EQ(fake.desktop.calls.size(), 1u);
    EXPECT_EQ(fake.desktop.calls[0], (testing::DesktopCall{"folder", Folder(sortie / "坐标成果")}));
}

TEST(frmDataExecute, CreateStopsAtTheFirstMissingInput) {
    struct Case {
        std::optional<QString> number;
        QString operatorName;
        bool folderGiven;
        QString message;
        QString shownNumber;
    };
    const Case cases[] = {
        {std::nullopt, "op1", true, "", ""},
        {QStringLiteral("   "), "op1", true, "", ""},
        {QStringLiteral("5"), "", true, QStringLiteral("未输入刺点员。"), "5"},
        {QStringLiteral("5"), "op1", false, "", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number.value_or("(cancel)").toStdString());
        FakeServices fake;
        TempFolder root;
        frmDataExecute w(fake.services, nullptr);
        SetText(w, "txtUser1", c.operatorName);
        fake.dialogs.inputs.push_back(c.number);
        if (c.folderGiven) fake.dialogs.folders.push_back(Q(PathText(root.path())));
        Click(w, "cmdCreateFolder");
        if (c.message.isEmpty())
            EXPECT_TRUE(fake.dialogs.messages.empty());
        else
            ExpectMessage(fake, c.message, MsgIcon::Information);
        EXPECT_EQ(Text(w, "txtNum"), c.shownNumber);
        EXPECT_EQ(Text(w, "txtCDP"), QString());
        EXPECT_TRUE(fs::is_empty(root.path()));
    }
}

TEST(frmDataExecute, CreateUsesTrimmedNamesAndAFailureKeepsEveryBox) {
    FakeServices fake;
    TempFolder root;
    frmDataExecute w(fake.services, nullptr);
    SetText(w, "txtUser1", QStringLiteral(" op1 "));
    fake.dialogs.inputs.push_back(QStringLiteral("3"));
    fake.dialogs.folders.push_back(Q(PathText(root.path())));
    Click(w, "cmdCreateFolder");
    // The folder and user.txt carry the same name, so Open finds the sortie.
    const fs::path sortie = root / "2013-1-5" / "op1" / "第3架次";
    EXPECT_EQ(Text(w, "txtCDP"), Folder(sortie / "刺点片"));
    EXPECT_EQ(ReadBytes(fake.programFolder / "user.txt"), "op1,,\r\n");

    WriteBytes(root / "2013-1-5" / "op1" / "第4架次", "a file in the way");
    const struct {
        QString operatorName, number, message;
    } cases[] = {
        {"a/b", "4", "刺点员姓名中含有不能用于文件夹名的字符“/”。"},
        {"op1", "4",
         "无法创建文件夹“" + Q(PathText(root / "2013-1-5" / "op1" / "第4架次")) +
             "”：已存在同名的文件或文件夹。"},
    };
    for (const auto& c : cases) {
        fake.dialogs.messages.clear();
        SetText(w, "txtUser1", c.operatorName);
        fake.dialogs.inputs.push_back(c.number);
        fake.dialogs.folders.push_back(Q(PathText(root.path())));
        Click(w, "cmdCreateFolder");
        ExpectMessage(fake, c.message, MsgIcon::Critical);
        EXPECT_EQ(Text(w, "txtNum"), QStringLiteral("3"));
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(Text(w, kPathBoxes[i]), Folder(sortie / kSubFolders[i]));
    }
}

TEST(frmDataExecute, OpenFindsTheSortieOnlyUnderItsOperator) {
    FakeServices fake;
    TempFolder root;
    const fs::path day = root / "2013-1-5";
    const fs::path sortie = day / "op1" / "第3架次";
    for (const char* sub : kSubFolders) fs::create_directories(sortie / sub);
    fs::remove(sortie / "坐标成果");
    frmDataExecute w(fake.services, nullptr);

    SetText(w, "txtUser1", QStringLiteral("op2"));
    fake.dialogs.folders.push_back(Q(PathText(day)));
    fake.dialogs.inputs.push_back(QStringLiteral("3"));
    Click(w, "cmdOpenFolder");
    ExpectMessage(fake, QStringLiteral("未找到“第3架次”文件夹。"), MsgIcon::Critical);
    EXPECT_EQ(Text(w, "txtNum"), QString());
    EXPECT_EQ(Text(w, "txtCDP"), QString());
    EXPECT_FALSE(fs::exists(sortie / "坐标成果"));

    fake.dialogs.messages.clear();
    SetText(w, "txtUser1", QStringLiteral("op1"));
    fake.dialogs.folders.push_back(Q(PathText(day)));
    fake.dialogs.inputs.push_back(QStringLiteral(" 3 "));
    Click(w, "cmdOpenFolder");
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_TRUE(fs::is_directory(sortie / "坐标成果"));
    EXPECT_EQ(Text(w, "txtNum"), QStringLiteral("3"));
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Text(w, kPathBoxes[i]), Folder(sortie / kSubFolders[i]));

    ASSERT_EQ(fake.dialogs.folderDialogs.size(), 2u);
    EXPECT_EQ(fake.dialogs.folderDialogs[0].title, QStringLiteral("选择项目路径[至“日期”路径]"));
    EXPECT_EQ(fake.dialogs.folderDialogs[0].initialFolder, QString());
    EXPECT_EQ(fake.dialogs.folderDialogs[1].initialFolder, Q(PathText(day)));

    // A cancelled browser or an empty number changes nothing.
    Click(w, "cmdOpenFolder");
    fake.dialogs.folders.push_back(Q(PathText(root.path())));
    fake.dialogs.inputs.push_back(QString());
    Click(w, "cmdOpenFolder");
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(Text(w, "txtCDP"), Folder(sortie / "刺点片"));
}

TEST(frmDataExecute, PersonnelFileFollowsEveryChangeAndComesBack) {
    FakeServices fake;
    const fs::path file = fake.appFolder.PersonnelFile();
    WriteBytes(file, "  op1 ,op2\r\nnext,line,x\r\n");
    {
        frmDataExecute w(fake.services, nullptr);
        EXPECT_EQ(Text(w, "txtUser1"), QStringLiteral("op1 "));
        EXPECT_EQ(Text(w, "txtUser2"), QStringLiteral("op2"));
        EXPECT_EQ(Text(w, "txtUser3"), QString());
        EXPECT_EQ(ReadBytes(file), "op1,op2,\r\n");
        SetText(w, "txtUser3", QStringLiteral(" 李"));
        EXPECT_EQ(ReadBytes(file), "op1,op2,\xC0\xEE\r\n");
        SetText(w, "txtUser1", QStringLiteral("op9  "));
        EXPECT_EQ(ReadBytes(file), "op9,op2,\xC0\xEE\r\n");
    }
    frmDataExecute next(fake.services, nullptr);
    EXPECT_EQ(Text(next, "txtUser1"), QStringLiteral("op9"));
    EXPECT_EQ(Text(next, "txtUser3"), QStringLiteral("李"));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST(frmDataExecute, NameBoxesTakeNoCommaSoUserTxtKeepsThreeNames) {
    FakeServices fake;
    frmDataExecute w(fake.services, nullptr);
    w.findChild<QCheckBox*>("chkName")->setChecked(true);
    for (const char* name : {"txtUser1", "txtUser2", "txtUser3"}) {
        auto* box = w.findChild<QLineEdit*>(name);
        box->insert(QStringLiteral("张三"));
        box->insert(QStringLiteral(","));
        box->insert(QStringLiteral("a,b"));
        box->insert(QStringLiteral("，李"));
        EXPECT_EQ(box->text(), QStringLiteral("张三，李")) << name;
    }
    EXPECT_EQ(ReadBytes(fake.appFolder.PersonnelFile()),
              *Utf8ToGbk("张三，李,张三，李,张三，李\r\n"));
}

TEST(frmDataExecute, NoPersonnelFileLeavesTheNamesEmptyAndWritesNothing) {
    FakeServices fake;
    frmDataExecute w(fake.services, nullptr);
    for (const char* name : {"txtUser1", "txtUser2", "txtUser3"}) EXPECT_EQ(Text(w, name), "");
    EXPECT_FALSE(fs::exists(fake.appFolder.PersonnelFile()));
}

TEST(frmDataExecute, AFailedPersonnelWriteIsReportedOnce) {
    FakeServices fake;
    TempFolder temp;
    FixedAppFolder missing(temp / "gone");
    Services services{fake.dialogs, fake.desktop, fake.clock, missing};
    frmDataExecute w(services, nullptr);
    SetText(w, "txtUser1", QStringLiteral("a"));
    SetText(w, "txtUser1", QStringLiteral("ab"));
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].text.contains(QStringLiteral("user.txt")));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(fake.dialogs.messages[0].caption, kCaption);
}

// A sortie made through the window, with pricked-point photos.
struct Sortie {
    FakeServices fake;
    TempFolder root;
    frmDataExecute w{fake.services, nullptr};
    fs::path folder = root / "2013-1-5" / "op1" / "第3架次";

    Sortie() {
        SetText(w, "txtUser1", QStringLiteral("op1"));
        fake.dialogs.inputs.push_back(QStringLiteral("3"));
        fake.dialogs.folders.push_back(Q(PathText(root.path())));
        Click(w, "cmdCreateFolder");
        for (const char* photo : {"P0001_IMG_0286.jpg", "p0002_IMG_0300.JPG", "P0010_IMG_5.jpg"})
            WriteBytes(folder / "刺点片" / photo, "jpg");
    }
    fs::path Results() const { return folder / "坐标成果" / "坐标成果.csv"; }
};

TEST(frmDataExecute, CoordinateResultsForBothMakes) {
    struct Case {
        const char* button;
        const char* title;
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"cmdCoordinate", "选择原始数据目录EXCEL_CSV(中海达)文件", "project/hitarget_raw.csv",
         "project/hitarget_expected.csv"},
        {"cmdHuace", "选择原始数据目录EXCEL_CSV(华测)文件", "project/chc_raw.csv",
         "project/chc_expected.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        Sortie s;
        const fs::path raw = s.folder / "原始数据" / "2012-11-18.csv";
        fs::copy_file(DataFile(c.raw), raw);
        s.fake.dialogs.files.push_back(Q(PathText(raw)));
        Click(s.w, c.button);
        ExpectMessage(s.fake, QStringLiteral("生成坐标成果数据完毕。"), MsgIcon::Information);
        ASSERT_EQ(s.fake.dialogs.fileDialogs.size(), 1u);
        const auto& dialog = s.fake.dialogs.fileDialogs[0];
        EXPECT_EQ(dialog.mode, FileDialogMode::Open);
        EXPECT_EQ(dialog.title, QString::fromUtf8(c.title));
        EXPECT_EQ(dialog.filters, (std::vector<FileFilter>{{"*.csv", "*.csv"}}));
        EXPECT_EQ(dialog.initialName,
                  Folder(s.folder / "原始数据") + QStringLiteral("2013-1-5.csv"));
        const std::string table = ReadBytes(s.Results());
        if (std::string(c.button) == "cmdHuace") {
            EXPECT_EQ(table, ReadBytes(DataFile(c.expected)));
        } else {
            // Rows of P0001, P0002 and P0010 only, in the order of the hand-written table.
            std::string expected = ReadBytes(DataFile(c.expected));
            std::string kept;
            std::size_t start = 0;
            while (start < expected.size()) {
                const std::size_t end = expected.find("\r\n", start) + 2;
                const std::string line = expected.substr(start, end - start);
                if (start == 0 || line.rfind("P0001,", 0) == 0 || line.rfind("P0002,", 0) == 0 ||
                    line.rfind("P0010,", 0) == 0)
                    kept += line;
                start = end;
            }
            EXPECT_EQ(table, kept);
        }
        EXPECT_EQ(s.w.findChild<QListWidget*>("fleJpg")->count(), 3);
    }
}

TEST(frmDataExecute, CoordinateResultsMessagesInTheirOrder) {
    struct Case {
        const char* name;
        std::function<void(Sortie&)> arrange;
        QString message;  // empty: no message and no file
        bool dialogShown;
    };
    const Case cases[] = {
        {"no raw data folder", [](Sortie& s) { SetText(s.w, "txtYSSJ", ""); },
         QStringLiteral("原始数据目录不存在。"), false},
        {"raw data folder gone", [](Sortie& s) { fs::remove_all(s.folder / "原始数据"); },
         QStringLiteral("原始数据目录不存在。"), false},
        {"no results folder", [](Sortie& s) { fs::remove_all(s.folder / "坐标成果"); },
         QStringLiteral("坐标成果目录不存在。"), false},
        {"no photos",
         [](Sortie& s) {
             for (const auto& entry : fs::directory_iterator(s.folder / "刺点片"))
                 fs::remove(entry.path());
             WriteBytes(s.folder / "刺点片" / "notes.txt", "x");
         },
         QStringLiteral("刺点片目录中无刺点片，无法生成坐标成果。"), false},
        {"photo box empty", [](Sortie& s) { SetText(s.w, "txtCDP", ""); },
         QStringLiteral("刺点片目录中无刺点片，无法生成坐标成果。"), false},
        {"dialog cancelled", [](Sortie& s) { s.fake.dialogs.files.clear(); }, QString(), true},
        {"no data line",
         [](Sortie& s) { WriteBytes(s.folder / "原始数据" / "raw.csv", "点名,北坐标\r\n\r\n"); },
         QStringLiteral("文件格式错误或无数据。"), true},
        {"not a number",
         [](Sortie& s) {
             WriteBytes(s.folder / "原始数据" / "raw.csv",
                        "header\r\nP0001,1,2,3,B,L,6,,,,,,,,,,,,,,,\r\nP0002,1,2,3,B,L,x6,,,,,,,,,,"
                        ",,,,,\r\n");
         },
         QStringLiteral("原始数据第3行的大地高“x6”不是数字。"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sortie s;
        WriteBytes(s.folder / "原始数据" / "raw.csv",
                   ReadBytes(DataFile("project/hitarget_raw.csv")));
        if (fs::is_directory(s.folder / "坐标成果")) WriteBytes(s.Results(), "old");
        s.fake.dialogs.files.push_back(Q(PathText(s.folder / "原始数据" / "raw.csv")));
        c.arrange(s);
        Click(s.w, "cmdCoordinate");
        if (c.message.isEmpty())
            EXPECT_TRUE(s.fake.dialogs.messages.empty());
        else
            ExpectMessage(s.fake, c.message, MsgIcon::Critical);
        EXPECT_EQ(s.fake.dialogs.fileDialogs.size(), c.dialogShown ? 1u : 0u);
        if (fs::is_directory(s.folder / "坐标成果")) {
            EXPECT_EQ(ReadBytes(s.Results()), "old");
        }
        EXPECT_TRUE(s.w.findChild<QPushButton*>("cmdCoordinate")->isEnabled());
    }
}

TEST(frmDataExecute, StepThreeOpensTheEditorOfTheSortie) {
    {
        FakeServices fake;
        frmDataExecute w(fake.services, nullptr);
        Click(w, "cmdCsv");
        ExpectMessage(fake, QStringLiteral("刺点片目录不存在。"), MsgIcon::Critical);
        EXPECT_EQ(w.findChildren<frmInfo*>().size(), 0);
    }
    Sortie s;
    WriteBytes(s.folder / "过程数据" / "P0001.jpg", "jpg");
    Click(s.w, "cmdCsv");
    EXPECT_TRUE(s.fake.dialogs.messages.empty());
    const auto editors = s.w.findChildren<frmInfo*>();
    ASSERT_EQ(editors.size(), 1);
    EXPECT_TRUE(editors[0]->isVisible());
    auto* list = editors[0]->findChild<QListWidget*>("fleGCSJ");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("P0001.jpg"));
}

TEST(frmDataExecute, ReachedFromTheNavigationItem) {
    FakeServices fake;
    WriteBytes(fake.appFolder.PersonnelFile(), "op1,op2,op3\r\n");
    frmMain main(fake.services);
    main.ItemClick(3, 0);
    auto* tool =
        qobject_cast<frmDataExecute*>(main.Tool(QStringLiteral("skyrell::frmDataExecute")));
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(tool->windowIcon().cacheKey(), main.windowIcon().cacheKey());
    main.ItemClick(3, 0);
    EXPECT_EQ(main.findChildren<frmDataExecute*>().size(), 1);
    EXPECT_EQ(Text(*tool, "txtUser2"), QStringLiteral("op2"));
}

}  // namespace
}  // namespace skyrell
