// The batch frame through both dialogs, and the angle calculator with its
// return into the rotation dialog.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QToolButton>

#include "geodesy/frmAngleCalculator.h"
#include "photo/frmPhotoRotate.h"
#include "photo/frmPhotoZoom.h"
#include "support/fakes.h"
#include "support/image_engine_samples.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::FakeServices;
using testing::MakeSampleJpeg;
using testing::ReadBytes;
using testing::ReadSample;
using testing::TempFolder;
using testing::WriteBytes;

struct Window {
    explicit Window(bool rotate)
        : form(rotate ? static_cast<PhotoBatchWindow*>(new frmPhotoRotate(fake.services, &owner))
                      : new frmPhotoZoom(fake.services, &owner)),
          caption(rotate ? QStringLiteral("航片旋转") : QStringLiteral("航片缩放")),
          run(rotate ? "cmdRotatePictures" : "cmdResizePictures") {}
    template <class T>
    T* Find(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Folders(const fs::path& source, const fs::path& target) {
        Find<QLineEdit>("txtRaw")->setText(QString::fromStdString(source.string()));
        Find<QLineEdit>("txtResult")->setText(QString::fromStdString(target.string()));
    }
    // Clicks the run button and waits until the run has ended.
    void Run() {
        Find<QPushButton>(run)->click();
        while (form->Running()) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
    }
    QStringList Messages() {
        QStringList out;
        for (const auto& m : fake.dialogs.messages) {
            EXPECT_EQ(m.caption, caption) << m.text.toStdString();
            out << m.text;
        }
        return out;
    }
    QStringList Listed() {
        QStringList out;
        auto* list = Find<QListWidget>("flePicture");
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }

    FakeServices fake;
    QWidget owner;
    PhotoBatchWindow* form;
    QString caption;
    const char* run;
};

QStringList FilesIn(const fs::path& folder) {
    QStringList names;
    for (const auto& entry : fs::directory_iterator(folder))
        names << QString::fromStdString(entry.path().filename().string());
    names.sort();
    return names;
}

TEST(PhotoBatchWindow, ChecksFoldersAndAngleInOrderWithTheirMessages) {
    const QString noSource = QStringLiteral("未选择原始航片目录！");
    const QString sourceMissing = QStringLiteral("原始航片目录不存在！");
    const QString noTarget = QStringLiteral("未选择目标航片目录！");
    const QString create = QStringLiteral("目标航片目录不存在，是否创建该目录？");
    const QString noPhotos = QStringLiteral("原始航片目录中无航片！");
    const QString noAngle = QStringLiteral("请输入旋转角度！");
    const QString notNumber = QStringLiteral("旋转角度类型必须是数字！");
    const QString notPositive = QStringLiteral("旋转角度必须大于0°！");
    enum Target { None, Existing, Missing };
    struct Case {
        bool rotate;
        bool source, sourceExists;
        Target target;
        std::optional<MsgAnswer> answer;
        const char* freeAngle;  // null: 180°
        QStringList messages;
        bool targetCreated;
        QString angleText;  // txtAngle afterwards
    };
    const Case cases[] = {
        {true, false, false, Existing, {}, nullptr, {noSource}, false, ""},
        {false, false, false, Existing, {}, nullptr, {noSource}, false, ""},
        {true, true, false, Existing, {}, nullptr, {sourceMissing}, false, ""},
        {false, true, false, Existing, {}, nullptr, {sourceMissing}, false, ""},
        {true, true, true, None, {}, nullptr, {noTarget}, false, ""},
        {false, true, true, None, {}, nullptr, {noTarget}, false, ""},
        {true, true, true, Missing, MsgAnswer::No, nullptr, {create}, false, ""},
        {false, true, true, Missing, MsgAnswer::No, nullptr, {create}, false, ""},
        {true, true, true, Missing, MsgAnswer::Yes, nullptr, {create, noPhotos}, true, ""},
        {false, true, true, Missing, MsgAnswer::Yes, nullptr, {create, noPhotos}, true, ""},
        {true, true, true, Existing, {}, "optAngle", {noAngle}, false, ""},
        {true, true, true, Existing, {}, "opt_Angle", {noAngle}, false, ""},
        {true, true, true, Existing, {}, "optAngle", {notNumber}, false, "abc"},
        {true, true, true, Existing, {}, "optAngle", {notPositive}, false, "0"},
        {true, true, true, Existing, {}, "opt_Angle", {notPositive}, false, "-5"},
        {true, true, true, Existing, {}, "optAngle", {noPhotos}, false, "12.5"},
        // The folder checks come before the angle.
        {true, false, false, Existing, {}, "optAngle", {noSource}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages.join("|").toStdString() + " " + (c.rotate ? "rotate" : "zoom") +
                     " " + c.angleText.toStdString());
        TempFolder folder;
        fs::create_directory(folder / "raw");
        WriteBytes(folder / "raw" / "notes.txt", "x");
        const fs::path target = c.target == Existing ? folder / "raw" : folder / "new";
        Window w(c.rotate);
        w.Folders(c.source ? (c.sourceExists ? folder / "raw" : folder / "gone") : fs::path(),
                  c.target == None ? fs::path() : target);
        if (c.answer) w.fake.dialogs.answers.push_back(*c.answer);
        if (c.freeAngle) {
            w.Find<QRadioButton>(c.freeAngle)->click();
            EXPECT_EQ(w.form->focusWidget(), w.Find<QLineEdit>("txtAngle"));
            w.Find<QLineEdit>("txtAngle")->setText(QStringLiteral("  ") + c.angleText + " ");
            w.Find<QLineEdit>("txtAngle")->clearFocus();
        }
        w.Run();
        EXPECT_EQ(w.Messages(), c.messages);
        for (std::size_t i = 0; i < w.fake.dialogs.messages.size(); ++i) {
            const bool question = w.fake.dialogs.messages[i].text == create;
            EXPECT_EQ(w.fake.dialogs.messages[i].icon,
                      question ? MsgIcon::Question : MsgIcon::Exclamation);
            EXPECT_EQ(w.fake.dialogs.messages[i].buttons,
                      question ? MsgButtons::YesNo : MsgButtons::Ok);
        }
        if (c.target == Missing) {
            EXPECT_EQ(fs::exists(target), c.targetCreated);
        }
        if (c.freeAngle && c.source && c.sourceExists) {
            EXPECT_EQ(w.Find<QLineEdit>("txtAngle")->text(), c.angleText);
            if (c.messages[0] != noPhotos) {
                EXPECT_EQ(w.form->focusWidget(), w.Find<QLineEdit>("txtAngle"));
            }
        }
    }
}

TEST(PhotoBatchWindow, BrowsingListingProgressAndReplacingInPlace) {
    TempFolder folder;
    const fs::path raw = folder / "raw";
    for (const char* name : {"b.JPG", "a.jpg", ".hidden.jpg", "c.png"})
        MakeSampleJpeg(raw / name, 64, 48);
    fs::create_directory(raw / "sub.jpg");

    Window w(true);
    auto* chkPath = w.Find<QCheckBox>("chkPath");
    const QString rawText = QString::fromStdString(raw.string());
    w.fake.dialogs.folders = {rawText, rawText, QString::fromStdString(folder.path().string())};
    w.Find<QToolButton>("btnRaw")->click();
    EXPECT_FALSE(chkPath->isChecked());
    w.Find<QToolButton>("btnResult")->click();
    EXPECT_TRUE(chkPath->isChecked());
    w.Find<QToolButton>("btnResult")->click();
    EXPECT_FALSE(chkPath->isChecked());
    chkPath->click();
    EXPECT_EQ(w.Find<QLineEdit>("txtResult")->text(), rawText);
    ASSERT_EQ(w.fake.dialogs.folderDialogs.size(), 3u);
    EXPECT_EQ(w.fake.dialogs.folderDialogs[0].title, QStringLiteral("原始航片目录"));
    EXPECT_EQ(w.fake.dialogs.folderDialogs[1].title, QStringLiteral("目标航片目录"));

    // Defaults: JPEGs only, 180°, every photo replaced in place.
    auto* progress = w.Find<QProgressBar>("pbProgress");
    EXPECT_EQ(progress->text(), "0%");
    QStringList texts;
    QObject::connect(progress, &QProgressBar::valueChanged, [&] { texts << progress->text(); });
    w.Find<QRadioButton>("opt90")->click();
    w.Find<QComboBox>("cboFormat")->setCurrentIndex(1);
    w.Run();
    EXPECT_EQ(w.Messages(), QStringList());
    EXPECT_EQ(w.Listed(), (QStringList{"a.jpg", "b.JPG", "c.png"}));
    EXPECT_EQ(texts, (QStringList{"33%", "66%", "100%"}));
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_EQ(FilesIn(raw), (QStringList{".hidden.jpg", "a.jpg", "b.JPG", "c.png", "sub.jpg"}));
    for (const char* name : {"a.jpg", "b.JPG", "c.png"})
        EXPECT_EQ(ReadSample(raw / name).width, 48);
    EXPECT_EQ(ReadSample(raw / ".hidden.jpg").width, 64);

    // Resizing with its defaults lists JPEGs only and keeps the size.
    Window zoom(false);
    EXPECT_EQ(zoom.Find<QComboBox>("cboZoom")->currentText(), "100");
    EXPECT_EQ(zoom.Find<QComboBox>("cboSave")->currentText(), "12");
    zoom.Find<QComboBox>("cboZoom")->setCurrentIndex(49);
    zoom.Folders(raw, folder / "half");
    zoom.fake.dialogs.answers.push_back(MsgAnswer::Yes);
    zoom.Run();
    EXPECT_EQ(FilesIn(folder / "half"), (QStringList{"a.jpg", "b.JPG"}));
    EXPECT_EQ(ReadSample(folder / "half" / "a.jpg").height, 32);
}

TEST(PhotoBatchWindow, FailedPhotosAreListedAtTheEndAndNothingIsWrittenForThem) {
    TempFolder folder;
    MakeSampleJpeg(folder / "raw" / "a.jpg", 64, 48);
    WriteBytes(folder / "raw" / "b.jpg", "not a photo");
    const std::string whole = ReadBytes(folder / "raw" / "a.jpg");
    WriteBytes(folder / "raw" / "c.jpg", whole.substr(0, whole.size() / 2));
    fs::create_directory(folder / "out");
    for (bool rotate : {true, false}) {
        Window w(rotate);
        w.Folders(folder / "raw", folder / "out");
        w.Run();
        EXPECT_EQ(w.Messages(),
                  QStringList{QStringLiteral("2张航片处理失败：\nb.jpg：不是可以读取的图片\n"
                                             "c.jpg：图片数据不完整或已损坏")});
        EXPECT_EQ(w.fake.dialogs.messages.at(0).icon, MsgIcon::Exclamation);
        EXPECT_EQ(w.Find<QProgressBar>("pbProgress")->text(), "100%");
        EXPECT_EQ(FilesIn(folder / "out"), QStringList{"a.jpg"});
    }
    const std::string summary = FailureSummaryText(std::vector<std::string>(21, "x.jpg：y"));
    EXPECT_TRUE(summary.starts_with("21张航片处理失败：\nx.jpg：y\n"));
    EXPECT_TRUE(summary.ends_with("\nx.jpg：y\n..."));
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 21);
}

TEST(PhotoBatchWindow, ExitDuringARunFinishesThePhotosInFlightThenCloses) {
    JobRunner::SetInline(false);
    TempFolder folder;
    for (int i = 0; i < 6; ++i)
        MakeSampleJpeg(folder / "raw" / ("p" + std::to_string(i) + ".jpg"), 640, 480);
    Window w(true);
    w.form->show();
    w.Folders(folder / "raw", folder / "raw");
    w.Find<QPushButton>("cmdRotatePictures")->click();
    w.Find<QPushButton>("cmdExit")->click();
    EXPECT_TRUE(w.form->isVisible() || !w.form->Running());
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_FALSE(w.Find<QPushButton>("cmdRotatePictures")->isEnabled());
    while (w.form->Running()) QCoreApplication::processEvents();
    JobRunner::SetInline(true);
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(w.fake.dialogs.messages.empty());
    EXPECT_EQ(FilesIn(folder / "raw").size(), 6);  // no temporary file left
}

TEST(frmAngleCalculator, ComputesAndHandsTheAngleToTheRotationDialog) {
    struct Case {
        bool radians;
        const char *pi, *d, *f, *m;
        QString result;
    };
    const Case cases[] = {
        {false, "", "30", "15", "30", "30.2583333333333"},
        {true, "1", "", "", "", "57.2957795130824"},
        {true, "-1.5", "", "", "", "85.9436692696236"},
        {true, "3.14159265358979", "", "", "", "180"},
        {false, "", "45", "", "", "45"},
        {false, "9", "-10", "30x", " 3 6", "10.51"},  // signs dropped, lenient, pi unused
        {true, "abc", "30", "", "", "0"},
        {false, "", "", "", "", "0"},
    };
    Window rotate(true);
    emit rotate.Find<QLabel>("lblAngleCalculator")->linkActivated(QStringLiteral("#"));
    frmAngleCalculator* calculator = static_cast<frmPhotoRotate*>(rotate.form)->AngleCalculator();
    ASSERT_NE(calculator, nullptr);
    EXPECT_EQ(calculator->windowTitle(), QStringLiteral("角度计算器"));
    auto find = [&](const char* name) {
        return calculator->findChild<QWidget*>(QString::fromLatin1(name));
    };
    EXPECT_TRUE(static_cast<QRadioButton*>(find("optDFM"))->isChecked());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result.toStdString());
        static_cast<QRadioButton*>(find(c.radians ? "optPi" : "optDFM"))->click();
        EXPECT_EQ(find("txtPi")->isEnabled(), c.radians);
        for (const char* box : {"txtD", "txtF", "txtM"})
            EXPECT_EQ(find(box)->isEnabled(), !c.radians);
        EXPECT_EQ(calculator->focusWidget(), find(c.radians ? "txtPi" : "txtD"));
        const char* texts[] = {c.pi, c.d, c.f, c.m};
        const char* boxes[] = {"txtPi", "txtD", "txtF", "txtM"};
        for (int i = 0; i < 4; ++i) static_cast<QLineEdit*>(find(boxes[i]))->setText(texts[i]);
        static_cast<QPushButton*>(find("cmdResult"))->click();
        EXPECT_EQ(static_cast<QLineEdit*>(find("txtResult"))->text(), c.result);
    }
    // The return button with no input gives 0, which a free angle refuses.
    static_cast<QToolButton*>(find("btnBack"))->click();
    EXPECT_EQ(rotate.Find<QLineEdit>("txtAngle")->text(), "0");
    EXPECT_FALSE(calculator->isVisible());
    TempFolder folder;
    rotate.Folders(folder.path(), folder.path());
    rotate.Find<QRadioButton>("optAngle")->click();
    rotate.Run();
    EXPECT_EQ(rotate.Messages(), QStringList{QStringLiteral("旋转角度必须大于0°！")});
}

}  // namespace
}  // namespace skyrell
