#include "project/frmInfo.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "project/sortie_layout.h"
#include "shell/files.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::FakeServices;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const QString kCaption = QStringLiteral("创建点位描述文件");

void ExpectMessage(const testing::RecordedMessage& shown, const QString& text, MsgIcon icon,
                   const QString& caption) {
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    EXPECT_EQ(shown.caption, caption);
}

std::string Golden(std::string_view name) {
    return ReadBytes(DataFile("project/point_descriptions/" + std::string(name)));
}

// A sortie with its pricked-point photo and process-data folders, the path
// boxes' texts (ending in a separator), and the editor on the process folder.
struct EditorTest : ::testing::Test {
    FakeServices fake;
    TempFolder root;
    std::filesystem::path process = root / "过程数据";
    std::filesystem::path descriptions = process / std::string(kPointDescriptionFile);
    QString processText = Q(PathText(process)) + QStringLiteral("/");
    QString prickedText;

    EditorTest() {
        std::filesystem::create_directories(root / "刺点片");
        std::filesystem::create_directories(process);
        prickedText = Q(PathText(root / "刺点片")) + QStringLiteral("/");
    }

    void Screenshots(std::initializer_list<const char*> names) {
        for (const char* name : names) WriteBytes(process / name, "jpg");
    }
    void Descriptions(std::string_view golden) { WriteBytes(descriptions, Golden(golden)); }

    std::unique_ptr<frmInfo> Open() {
        return std::make_unique<frmInfo>(fake.services, nullptr, [this] { return processText; });
    }

    static QLineEdit* Box(QWidget& w, const char* name) {
        return w.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static QListWidget* List(QWidget& w) {
        return w.findChild<QListWidget*>(QStringLiteral("fleGCSJ"));
    }
    static QStringList Boxes(QWidget& w) {
        QStringList texts;
        for (const char* name : {"txtName", "txtData1", "txtData2", "txtData3", "txtData4"})
            texts << Box(w, name)->text();
        return texts;
    }
    static void Type(QWidget& w, const QStringList& data) {
        for (int i = 0; i < 4; ++i)
            Box(w, QStringLiteral("txtData%1").arg(i + 1).toLatin1().constData())
                ->setText(data.value(i));
    }
    static void ClickSave(QWidget& w) {
        w.findChild<QPushButton*>(QStringLiteral("cmdOutput"))->click();
    }
    static QCheckBox* Pic(QWidget& w) { return w.findChild<QCheckBox*>(QStringLiteral("chkPic")); }
};

TEST_F(EditorTest, FolderWithoutScreenshotsGivesAnEmptyList) {
    Screenshots({"A0001.jpg", "P0001.png", "P0001.jpg.bak"});
    Descriptions("two_points.txt");
    auto editor = Open();
    EXPECT_EQ(editor->windowTitle(), kCaption);
    EXPECT_EQ(List(*editor)->count(), 0);
    EXPECT_EQ(List(*editor)->currentRow(), -1);
    EXPECT_EQ(Boxes(*editor), QStringList(5, QString()));
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_FALSE(editor->findChild<QLabel*>(QStringLiteral("lblEmpty"))->isHidden());

    // Without a point there is nothing to store the descriptions under.
    Type(*editor, {"路口", "地面", "", ""});
    ClickSave(*editor);
    ExpectMessage(fake.dialogs.messages.at(0), "未选择点位截图，请先在左侧列表中选择一个点位截图。",
                  MsgIcon::Exclamation, kCaption);
    EXPECT_EQ(ReadBytes(descriptions), Golden("two_points.txt"));
}

TEST_F(EditorTest, LowerCaseScreenshotShowsAndReplacesTheUpperCaseRecord) {
    Screenshots({"P0003.jpg", "p0002.JPG"});
    Descriptions("upper_p0002.txt");
    auto editor = Open();
    ASSERT_EQ(List(*editor)->count(), 2);
    EXPECT_EQ(List(*editor)->item(0)->text(), QStringLiteral("p0002.JPG"));
    EXPECT_EQ(List(*editor)->currentRow(), 0);
    EXPECT_EQ(Boxes(*editor), (QStringList{"p0002", "桥头", "桥面", "", ""}));

    Box(*editor, "txtData1")->setText(QStringLiteral("桥头西侧"));
    ClickSave(*editor);
    EXPECT_EQ(ReadBytes(descriptions), Golden("lower_p0002_saved.txt"));
    EXPECT_EQ(List(*editor)->currentRow(), 1);
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0003", "x", "y", "", ""}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(EditorTest, MissingDescriptionsAreAskedForAndNothingIsWritten) {
    struct Case {
        QString data1, data2;
        QString message;
        const char* focus;
    };
    const Case cases[] = {
        {"", "地面", "未输入第一描述。", "txtData1"},
        {"   ", "地面", "未输入第一描述。", "txtData1"},
        {"路口", "  ", "未输入第二描述。", "txtData2"},
    };
    Screenshots({"P0001.jpg", "P0002.jpg"});
    for (const auto& c : cases) {
        FakeServices local;
        auto editor =
            std::make_unique<frmInfo>(local.services, nullptr, [this] { return processText; });
        Type(*editor, {c.data1, c.data2, "三", "四"});
        ClickSave(*editor);
        ASSERT_EQ(local.dialogs.messages.size(), 1u) << c.message.toStdString();
        ExpectMessage(local.dialogs.messages[0], c.message, MsgIcon::Exclamation, kCaption);
        EXPECT_EQ(editor->focusWidget(), Box(*editor, c.focus));
        EXPECT_EQ(List(*editor)->currentRow(), 0);
        EXPECT_FALSE(std::filesystem::exists(descriptions));
    }
}

TEST_F(EditorTest, SaveStepsToTheNextEntryAndStaysOnTheLast) {
    Screenshots({"P0001.jpg", "P0002.jpg"});
    Descriptions("two_points.txt");
    auto editor = Open();
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0001", "田埂拐角", "地面", "", ""}));

    Type(*editor, {"田埂拐角处", "地面", "补测", ""});
    ClickSave(*editor);
    EXPECT_EQ(ReadBytes(descriptions), Golden("saved_twice.txt"));
    EXPECT_EQ(List(*editor)->currentRow(), 1);
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0002", "水泥路边", "路面", "硬化路", "无"}));

    // Leading blanks are not stored, and the boxes show what was stored.
    Type(*editor, {"  水泥路边", " 路面", "硬化路", " 无 "});
    ClickSave(*editor);
    EXPECT_EQ(ReadBytes(descriptions), Golden("last_saved.txt"));
    EXPECT_EQ(List(*editor)->currentRow(), 1);
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0002", "水泥路边", "路面", "硬化路", "无"}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(EditorTest, PicturesOpenOnSelectionOnlyOnceTheDescriptionFileExists) {
    Screenshots({"P0001.jpg", "P0002.jpg", "P0003.jpg"});
    auto editor = Open();
    auto opened = [&](const char* name) {
        return testing::DesktopCall{QStringLiteral("open"),
                                    processText + QString::fromLatin1(name)};
    };
    Pic(*editor)->click();  // ticking opens the current screenshot at once
    ASSERT_EQ(fake.desktop.calls, (std::vector{opened("P0001.jpg")}));

    List(*editor)->setCurrentRow(1);  // no description file yet
    EXPECT_EQ(fake.desktop.calls.size(), 1u);

    Type(*editor, {"第二点", "地面"});
    ClickSave(*editor);
    EXPECT_EQ(ReadBytes(descriptions), Golden("second_point_only.txt"));
    EXPECT_EQ(fake.desktop.calls, (std::vector{opened("P0001.jpg"), opened("P0003.jpg")}));

    List(*editor)->setCurrentRow(0);
    EXPECT_EQ(fake.desktop.calls.back(), opened("P0001.jpg"));
    EXPECT_EQ(fake.desktop.calls.size(), 3u);

    Pic(*editor)->click();  // clearing opens nothing, and later selections neither
    List(*editor)->setCurrentRow(1);
    EXPECT_EQ(fake.desktop.calls.size(), 3u);
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0002", "第二点", "地面", "", ""}));
}

TEST_F(EditorTest, ClickingTheSelectedEntryShowsItAgain) {
    Screenshots({"P0001.jpg", "P0002.jpg"});
    Descriptions("two_points.txt");
    auto editor = Open();
    editor->show();
    QListWidget* list = List(*editor);
    auto click = [list](int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(list->viewport(), &event);
        }
    };
    const auto opened = [&](const char* name) {
        return testing::DesktopCall{QStringLiteral("open"),
                                    processText + QString::fromLatin1(name)};
    };
    Pic(*editor)->click();
    Box(*editor, "txtData1")->setText(QStringLiteral("未存"));
    click(0);  // the selected entry: shown again from the file, picture opened
    EXPECT_EQ(Boxes(*editor), (QStringList{"P0001", "田埂拐角", "地面", "", ""}));
    click(1);  // another entry: shown once, picture opened once
    EXPECT_EQ(List(*editor)->currentRow(), 1);
    EXPECT_EQ(fake.desktop.calls,
              (std::vector{opened("P0001.jpg"), opened("P0001.jpg"), opened("P0002.jpg")}));
}

TEST_F(EditorTest, CommaInADescriptionIsRefusedAndNothingIsWritten) {
    Screenshots({"P0001.jpg", "P0002.jpg"});
    Descriptions("two_points.txt");
    auto editor = Open();
    Type(*editor, {"田埂拐角", "地面", "补测,复核", ""});
    ClickSave(*editor);
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    ExpectMessage(fake.dialogs.messages[0], QStringLiteral("第三描述中不能包含逗号。"),
                  MsgIcon::Exclamation, kCaption);
    EXPECT_EQ(editor->focusWidget(), Box(*editor, "txtData3"));
    EXPECT_EQ(List(*editor)->currentRow(), 0);
    EXPECT_EQ(ReadBytes(descriptions), Golden("two_points.txt"));
}

TEST_F(EditorTest, WorksInTheFolderThePathBoxShowsNow) {
    Screenshots({"P0001.jpg"});
    auto editor = Open();
    TempFolder other;
    processText = Q(PathText(other.path())) + QStringLiteral("/");
    Type(*editor, {"道路交叉口东北角", "地面"});
    ClickSave(*editor);
    EXPECT_FALSE(std::filesystem::exists(descriptions));
    EXPECT_EQ(ReadBytes(other / std::string(kPointDescriptionFile)), Golden("first_save.txt"));
}

TEST_F(EditorTest, FailedWriteIsReportedWithTheFileName) {
    Screenshots({"P0001.jpg"});
    auto editor = Open();
    processText = Q(PathText(root / "gone")) + QStringLiteral("/");
    Type(*editor, {"a", "b"});
    ClickSave(*editor);
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].text.startsWith(
        QStringLiteral("无法写入文件“") + processText + QStringLiteral("点位描述.txt”：")))
        << fake.dialogs.messages[0].text.toStdString();
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(List(*editor)->currentRow(), 0);
}

// --- opening from the data-processing window

TEST_F(EditorTest, OpeningChecksThePrickedPhotoFolderThenTheProcessFolder) {
    const QString missing = Q(PathText(root / "无")) + QStringLiteral("/");
    const QString pricked = QStringLiteral("刺点片目录不存在。");
    const QString processMissing = QStringLiteral("过程数据目录不存在。");
    struct Case {
        QString pricked, process, message;
    };
    const Case cases[] = {
        {"", processText, pricked},
        {missing, processText, pricked},
        {missing, "", pricked},
        {prickedText, "", processMissing},
        {prickedText, missing, processMissing},
        {prickedText, Q(PathText(process / "P0001.jpg")), processMissing},  // a file
    };
    Screenshots({"P0001.jpg"});
    for (const auto& c : cases) {
        FakeServices local;
        QWidget owner;
        owner.setWindowTitle(QStringLiteral("像控点数据处理"));
        const QString process = c.process;
        EXPECT_EQ(OpenPointDescriptionEditor(local.services, &owner, c.pricked,
                                             [process] { return process; }),
                  nullptr);
        ASSERT_EQ(local.dialogs.messages.size(), 1u) << c.message.toStdString();
        ExpectMessage(local.dialogs.messages[0], c.message, MsgIcon::Critical,
                      QStringLiteral("像控点数据处理"));
        EXPECT_TRUE(owner.findChildren<frmInfo*>().isEmpty());
    }
}

TEST_F(EditorTest, OpeningShowsTheOwnersOneEditorWithoutBlocking) {
    Screenshots({"P0001.jpg", "P0002.jpg"});
    Descriptions("two_points.txt");
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("像控点数据处理"));
    auto folder = [this] { return processText; };

    QPointer<frmInfo> first =
        OpenPointDescriptionEditor(fake.services, &owner, prickedText, folder);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(Boxes(*first), (QStringList{"P0001", "田埂拐角", "地面", "", ""}));

    // Open again: the same editor comes forward with what it shows.
    List(*first)->setCurrentRow(1);
    Box(*first, "txtData3")->setText(QStringLiteral("未存"));
    EXPECT_EQ(OpenPointDescriptionEditor(fake.services, &owner, prickedText, folder), first);
    EXPECT_EQ(List(*first)->currentRow(), 1);
    EXPECT_EQ(Box(*first, "txtData3")->text(), QStringLiteral("未存"));
    EXPECT_EQ(fake.desktop.broughtForward, (std::vector<QWidget*>{first, first}));

    // Closed, it loads afresh on the next opening.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    frmInfo* second = OpenPointDescriptionEditor(fake.services, &owner, prickedText, folder);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(owner.findChildren<frmInfo*>().size(), 1);
    EXPECT_EQ(List(*second)->currentRow(), 0);
    EXPECT_EQ(Boxes(*second), (QStringList{"P0001", "田埂拐角", "地面", "", ""}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

}  // namespace
}  // namespace skyrell
