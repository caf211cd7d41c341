#include "pos/qt_pos_conversions.h"

#include "pos/frmPosOptions.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/qt_outside_programs.h"

namespace skyrell {

namespace {

QString Filter(const char* description, const char* pattern) {
    return QString::fromUtf8(description) + QChar(u'\0') + QString::fromUtf8(pattern) +
           QChar(u'\0');
}

struct ConversionTexts {
    QString caption;
    QString saveTitle;
    QString saveFilter;
    QString finished;
    QString notInstalled;  // when the program that opens the result is missing
    MsgIcon notInstalledIcon = MsgIcon::None;
};

ConversionTexts TextsOf(PosConversion conversion) {
    switch (conversion) {
        case PosConversion::KmlPoint:
        case PosConversion::KmlPolyline:
            return {QStringLiteral("POS->KML"),
                    QStringLiteral("保存GoogleEarth KML文件"),
                    Filter("GoogleEarth KML文件(*.KML)", "*.KML"),
                    QStringLiteral("POS数据转换完毕，是否打开转换后的KML文件？"),
                    QStringLiteral("系统未安装GoogleEarth，无法执行KML文件！"),
                    MsgIcon::Information};
        case PosConversion::DxfPoint:
        case PosConversion::DxfPolyline:
            return {QStringLiteral("POS->DXF"),
                    QStringLiteral("保存AutoCAD DXF文件"),
                    Filter("AutoCAD DXF文件(*.DXF)", "*.DXF"),
                    QStringLiteral("POS数据转换完毕，是否打开转换后的DXF文件？"),
                    QStringLiteral("系统未安装AutoCAD，无法打开DXF文件！"),
                    MsgIcon::Exclamation};
        case PosConversion::TxtBl:
        case PosConversion::TxtXy:
            break;
    }
    return {QStringLiteral("POS->TXT"),
            QStringLiteral("保存坐标TXT文件"),
            Filter("坐标TXT文件(*.TXT)", "*.TXT"),
            QStringLiteral("POS数据转换完毕，是否打开转换后的TXT文件？"),
            QString(),
            MsgIcon::None};
}

void SetPendingFlag(ConversionOptions& options, PosConversion conversion) {
    options.pendingConversion = {};
    options.pendingConversion.dxfPoint = conversion == PosConversion::DxfPoint;
    options.pendingConversion.dxfPolyline = conversion == PosConversion::DxfPolyline;
    options.pendingConversion.txtXy = conversion == PosConversion::TxtXy;
}

}  // namespace

void PosConversions::ShowOptions() {
    options_.pendingConversion = {};
    ShowOptionsDialog();
}

void PosConversions::ShowOptionsDialog() {
    tools_.Show(QStringLiteral("frmPosOptions"), [this](Services& services, QWidget* owner) {
        return new frmPosOptions(services, owner, options_, [this] { ResumePending(); });
    });
}

void PosConversions::ResumePending() {
    // Each conversion rewrites the flags when it starts, so at most one runs.
    if (options_.pendingConversion.dxfPoint) Run(PosConversion::DxfPoint);
    if (options_.pendingConversion.dxfPolyline) Run(PosConversion::DxfPolyline);
    if (options_.pendingConversion.txtXy) Run(PosConversion::TxtXy);
}

PosConversions::PosConversions(Services& services, QWidget* owner, ToolWindows& tools)
    : services_(services), owner_(owner), tools_(tools), runner_(new JobRunner(owner, &services)) {}

void PosConversions::Run(PosConversion conversion) {
    if (runner_->Running()) return;  // one conversion at a time
    const ConversionTexts texts = TextsOf(conversion);
    Dialogs& dialogs = services_.dialogs;

    if (ProjectsCoordinates(conversion)) {
        SetPendingFlag(options_, conversion);
        if (!options_.IsSet()) {
            const auto answer = dialogs.Message(
                owner_, QStringLiteral("未设置转换选项，无法进行转换操作。\r\n是否设置转换选项？"),
                MsgIcon::Question, MsgButtons::YesNo, texts.caption);
            if (answer == MsgAnswer::Yes) ShowOptionsDialog();
            return;
        }
    }

    const QString pos = ShowFileDialog(services_, QStringLiteral("OPEN"), owner_,
                                       QStringLiteral("选择无人机POS文件"),
                                       Filter("无人机POS文件(*.TXT)", "*.TXT"));
    if (pos.isEmpty()) return;
    const QString output = ShowFileDialog(services_, QStringLiteral("SAVE"), owner_,
                                          texts.saveTitle, texts.saveFilter);
    if (output.isEmpty()) return;
    if (const Status distinct = CheckOutputIsNotInput(PathOf(U(output)), {PathOf(U(pos))});
        !distinct) {
        dialogs.Message(owner_, Q(distinct.message()), MsgIcon::Exclamation, MsgButtons::Ok,
                        texts.caption);
        return;
    }

    // The options keep the ellipsoid axes of the conversion that ran last; an
    // unknown coordinate system is reported by the conversion below.
    if (ProjectsCoordinates(conversion)) static_cast<void>(ApplyEllipsoid(options_));

    // The file converts off the window thread; the owner's inputs given to
    // the runner stay disabled until it has finished.
    owner_->setCursor(Qt::BusyCursor);
    runner_->Run(
        [conversion, pos = PathOf(U(pos)), out = PathOf(U(output)),
         options = options_](const Feedback& feedback) {
            return ConvertPosFile(conversion, pos, out, options, feedback);
        },
        {},
        [this, conversion, output](const ConversionResult& result) {
            owner_->unsetCursor();
            Finish(conversion, output, result);
        });
}

void PosConversions::Finish(PosConversion conversion, const QString& output,
                            const ConversionResult& result) {
    const ConversionTexts texts = TextsOf(conversion);
    Dialogs& dialogs = services_.dialogs;
    if (!result.ok()) {
        const QString text = Q(result.status.message());
        if (result.failure == ConversionFailure::NoDataLines) {
            dialogs.Message(owner_, text, MsgIcon::Information, MsgButtons::Ok, texts.caption);
        } else if (result.failure == ConversionFailure::WriteFailed && result.status.code() != 0) {
            ShowWriteFailure(services_, owner_, result.status.code(), text);
        } else {
            dialogs.Message(owner_, text, MsgIcon::Exclamation, MsgButtons::Ok, texts.caption);
        }
        return;
    }

    if (dialogs.Message(owner_, texts.finished, MsgIcon::Question, MsgButtons::YesNo,
                        texts.caption) != MsgAnswer::Yes)
        return;
    // The text tables open in the text editor, whose failure names the file;
    // the drawings and documents in the program associated with their type,
    // whose absence has its own message.
    if (texts.notInstalled.isEmpty()) {
        OpenOutside(services_, owner_, OutsideProgram::TextEditor, output, texts.caption);
    } else if (!services_.desktop.OpenWithAssociated(output)) {
        dialogs.Message(owner_, texts.notInstalled, texts.notInstalledIcon, MsgButtons::Ok,
                        texts.caption);
    }
}

}  // namespace skyrell
