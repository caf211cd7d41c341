#include "pos/frmTxtPos.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

#include "pos/other_to_pos.h"
#include "shell/atomic_file.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::FakeServices;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const QString kCaption = QStringLiteral("其他数据->POS");

struct Window {
    FakeServices fake;
    QWidget owner;
    frmTxtPos* form = new frmTxtPos(fake.services, &owner);
    template <class T>
    T* Find(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QStringList Entries(const char* list) {
        QStringList out;
        auto* model = Find<QListView>(list)->model();
        for (int i = 0; i < model->rowCount(); ++i) out << model->index(i, 0).data().toString();
        return out;
    }
    QStringList Items(const char* box) {
        QStringList out;
        auto* combo = Find<QComboBox>(box);
        for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
        return out;
    }
    void Open(const std::filesystem::path& file) {
        fake.dialogs.files.push_back(QString::fromStdString(file.string()));
        Find<QToolButton>("cmdOpen")->click();
    }
};

TEST(frmTxtPos, LoadsColumnsOfTheFirstLineAndKeepsListsInStep) {
    Window w;
    EXPECT_TRUE(w.Find<QRadioButton>("optComma")->isChecked());
    w.Open(DataFile("pos/other_data.csv"));
    ASSERT_EQ(w.fake.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(w.fake.dialogs.fileDialogs[0].title, QStringLiteral("选择其他数据文件"));
    EXPECT_EQ(
        w.fake.dialogs.fileDialogs[0].filters,
        (std::vector<FileFilter>{{QStringLiteral("其他数据文件(*.*)"), QStringLiteral("*.*")}}));
    EXPECT_EQ(w.Items("cboB"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(w.Items("cboL"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(w.Entries("lstB"), (QStringList{"lat", "30.25", "", "31.5", "30.12345675 "}));
    w.Find<QComboBox>("cboL")->setCurrentIndex(1);
    EXPECT_EQ(w.Entries("lstL"), (QStringList{"lon", "114.5", "", "", "-114.000000049"}));
}

TEST(frmTxtPos, SwitchingSeparatorsResetsBothColumnBoxes) {
    TempFolder folder;
    WriteBytes(folder / "d.txt", "30.1 114.2 7,8\r\n30.3 114.4 9,9\r\n");
    Window w;
    w.Open(folder / "d.txt");
    EXPECT_EQ(w.Items("cboB"), (QStringList{"1", "2"}));
    w.Find<QComboBox>("cboB")->setCurrentIndex(1);
    w.Find<QComboBox>("cboL")->setCurrentIndex(1);
    w.Find<QRadioButton>("optSpace")->click();
    EXPECT_EQ(w.Items("cboB"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(w.Find<QComboBox>("cboB")->currentText(), "1");
    EXPECT_EQ(w.Find<QComboBox>("cboL")->currentText(), "1");
    EXPECT_EQ(w.Entries("lstB"), (QStringList{"30.1", "30.3"}));
    EXPECT_EQ(w.Entries("lstL"), (QStringList{"30.1", "30.3"}));
}

TEST(frmTxtPos, SaveWithEmptyListsSaysSo) {
    Window w;
    w.Find<QToolButton>("cmdSave")->click();
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    const auto& m = w.fake.dialogs.messages[0];
    EXPECT_EQ(m.text, QStringLiteral("纬度或经度数据不完整，无法转换POS数据。"));
    EXPECT_EQ(m.icon, MsgIcon::Information);
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_EQ(m.caption, kCaption);
    EXPECT_TRUE(w.fake.dialogs.fileDialogs.empty());
}

TEST(frmTxtPos, ListsSelectAndScrollInStep) {
    TempFolder folder;
    std::string data;
    for (int i = 0; i < 500; ++i)
        data += std::to_string(30 + i) + "," + std::to_string(114 + i) + "\r\n";
    WriteBytes(folder / "d.csv", data);
    Window w;
    w.form->resize(400, 300);
    w.form->show();
    w.Open(folder / "d.csv");
    auto* lstB = w.Find<QListView>("lstB");
    auto* lstL = w.Find<QListView>("lstL");
    lstB->setCurrentIndex(lstB->model()->index(4, 0));  // click on the 5th entry
    EXPECT_EQ(lstL->currentIndex().row(), 4);
    lstL->verticalScrollBar()->setValue(120);  // scroll the other list
    EXPECT_EQ(lstB->verticalScrollBar()->value(), 120);
    lstL->setCurrentIndex(lstL->model()->index(300, 0));  // keyboard in the other list
    EXPECT_EQ(lstB->currentIndex().row(), 300);
    EXPECT_EQ(lstB->verticalScrollBar()->value(), lstL->verticalScrollBar()->value());
}

TEST(frmTxtPos, SaveWritesAsksAndCloses) {
    TempFolder folder;
    Window w;
    w.form->show();
    w.Open(DataFile("pos/other_data.csv"));
    w.Find<QComboBox>("cboL")->setCurrentIndex(1);
    const QString target = QString::fromStdString((folder / "out.TXT").string());
    w.fake.dialogs.files.push_back(target);
    w.fake.dialogs.answers.push_back(MsgAnswer::Yes);
    w.Find<QToolButton>("cmdSave")->click();

    EXPECT_EQ(ReadBytes(folder / "out.TXT"), ReadBytes(DataFile("pos/other_data.pos")));
    const auto& save = w.fake.dialogs.fileDialogs.back();
    EXPECT_EQ(save.mode, FileDialogMode::Save);
    EXPECT_EQ(save.title, QStringLiteral("保存POS文件"));
    EXPECT_EQ(
        save.filters,
        (std::vector<FileFilter>{{QStringLiteral("POS文件(*.TXT)"), QStringLiteral("*.TXT")}}));
    EXPECT_EQ(w.Find<QLineEdit>("txtPos")->text(), target);
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.fake.dialogs.messages[0].text,
              QStringLiteral("其他数据转换完毕，是否打开转换后的POS文件？"));
    EXPECT_EQ(w.fake.dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(w.fake.dialogs.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(w.fake.dialogs.messages[0].caption, kCaption);
    EXPECT_EQ(w.fake.desktop.calls, (std::vector<testing::DesktopCall>{{"text", target}}));
    EXPECT_FALSE(w.form->isVisible());
}

TEST(frmTxtPos, CancelledSaveAndFailedWriteKeepTheDialogOpen) {
    TempFolder folder;
    Window w;
    w.form->show();
    w.Open(DataFile("pos/other_data.csv"));
    w.Find<QToolButton>("cmdSave")->click();  // save dialog cancelled
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_TRUE(w.fake.dialogs.messages.empty());

    w.fake.dialogs.files.push_back(QString::fromStdString((folder / "no" / "out.txt").string()));
    w.Find<QToolButton>("cmdSave")->click();
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.fake.dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(w.fake.dialogs.messages[0].text.contains(QStringLiteral("out.txt")));
    EXPECT_TRUE(w.form->isVisible());

    // The data file itself is refused as the output and stays as it was.
    const auto data = folder / "data.csv";
    WriteBytes(data, ReadBytes(DataFile("pos/other_data.csv")));
    w.Open(data);
    w.fake.dialogs.files.push_back(QString::fromStdString(data.string()));
    w.Find<QToolButton>("cmdSave")->click();
    ASSERT_EQ(w.fake.dialogs.messages.size(), 2u);
    EXPECT_EQ(w.fake.dialogs.messages[1].text, QString::fromStdString(SameFileText(data)));
    EXPECT_EQ(w.fake.dialogs.messages[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ReadBytes(data), ReadBytes(DataFile("pos/other_data.csv")));
}

TEST(frmTxtPos, UnreadableDataFileChangesNothing) {
    TempFolder folder;
    Window w;
    w.Open(DataFile("pos/other_data.csv"));
    w.Open(folder / "missing.csv");
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(w.fake.dialogs.messages[0].text.contains(QStringLiteral("missing.csv")));
    EXPECT_EQ(w.fake.dialogs.messages[0].caption, kCaption);
    EXPECT_TRUE(w.Find<QLineEdit>("txtPath")->text().endsWith(QStringLiteral("other_data.csv")));
    EXPECT_EQ(w.Entries("lstB").size(), 5);
}

TEST(frmTxtPos, ASeparatorClickOnAVanishedFileKeepsTheLoadedSeparator) {
    TempFolder folder;
    WriteBytes(folder / "d.csv", "30.1 x,114.2\r\n30.3 y,114.4\r\n");
    Window w;
    w.Open(folder / "d.csv");
    std::filesystem::remove(folder / "d.csv");
    w.Find<QRadioButton>("optSpace")->click();
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(w.fake.dialogs.messages[0].text.contains(QStringLiteral("d.csv")));
    EXPECT_TRUE(w.Find<QRadioButton>("optComma")->isChecked());
    // The lists still split at commas when a column box changes.
    w.Find<QComboBox>("cboL")->setCurrentIndex(1);
    EXPECT_EQ(w.Entries("lstL"), (QStringList{"114.2", "114.4"}));
    EXPECT_EQ(w.Entries("lstB"), (QStringList{"30.1 x", "30.3 y"}));
}

}  // namespace
}  // namespace skyrell
