#include "app/TFm_CsvFixed.h"

#include "app/TFm_Tabulix01.h"
#include "csv/FileWriting.h"
#include "csv/RangeOutput.h"
#include "csv/TextEncoding.h"
#include "help/TFm_Browse.h"
#include "settings/InstalledProgram.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabulix {

namespace {

QString grouped(int n) {
    return QString::fromStdString(FormatThousands(std::to_string(n)));
}

constexpr int kShownLines = 1000;

} // namespace

TFm_CsvFixed::TFm_CsvFixed(TFm_Tabulix01& window, TFm_Browse& browser, QWidget* parent)
    : QDialog(parent), window_(window), browser_(browser) {
    setObjectName(QStringLiteral("TFm_CsvFixed"));
    setWindowTitle(QStringLiteral("Tabulix 出力"));
    buildWindow();
}

void TFm_CsvFixed::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    auto* menu = new QMenuBar(this);
    QMenu* file = menu->addMenu(QStringLiteral("File(&F)"));
    QAction* exit = file->addAction(QStringLiteral("終了(&X)"));
    exit->setObjectName(QStringLiteral("Mn_Exit"));
    connect(exit, &QAction::triggered, this, &QDialog::accept);
    layout->setMenuBar(menu);
    Lab_Title_ = new QLabel(this);
    Lab_Title_->setObjectName(QStringLiteral("Lab_Title"));
    layout->addWidget(Lab_Title_);
    auto* range = new QGroupBox(QStringLiteral("出力範囲"), this);
    auto* row = new QHBoxLayout(range);
    Edt_RecNoMin_ = new QLineEdit(range);
    Edt_RecNoMin_->setObjectName(QStringLiteral("Edt_RecNoMin"));
    Edt_RecNoMax_ = new QLineEdit(range);
    Edt_RecNoMax_->setObjectName(QStringLiteral("Edt_RecNoMax"));
    for (QLineEdit* e : {Edt_RecNoMin_, Edt_RecNoMax_}) {
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(110);
    }
    Chk_LastRecNo_ = new QCheckBox(range);
    Chk_LastRecNo_->setObjectName(QStringLiteral("Chk_LastRecNo"));
    row->addWidget(new QLabel(QStringLiteral("開始 Rec.No"), range));
    row->addWidget(Edt_RecNoMin_);
    row->addWidget(new QLabel(QStringLiteral("～"), range));
    row->addWidget(Edt_RecNoMax_);
    row->addWidget(Chk_LastRecNo_);
    layout->addWidget(range);
    Lab_OutRecNo_ = new QLabel(this);
    Lab_OutRecNo_->setObjectName(QStringLiteral("Lab_OutRecNo"));
    layout->addWidget(Lab_OutRecNo_);
    auto* buttons = new QHBoxLayout;
    Btn_Exec_ = new QPushButton(QStringLiteral("実行"), this);
    Btn_Exec_->setObjectName(QStringLiteral("Btn_Exec"));
    Btn_Close_ = new QPushButton(QStringLiteral("終了"), this);
    Btn_Close_->setObjectName(QStringLiteral("Btn_Close"));
    buttons->addStretch(1);
    buttons->addWidget(Btn_Exec_);
    buttons->addWidget(Btn_Close_);
    layout->addLayout(buttons);
    connect(Chk_LastRecNo_, &QCheckBox::clicked, this, &TFm_CsvFixed::Chk_LastRecNoClick);
    connect(Btn_Exec_, &QPushButton::clicked, this, &TFm_CsvFixed::Btn_ExecClick);
    connect(Btn_Close_, &QPushButton::clicked, this, &QDialog::accept);
}

int TFm_CsvFixed::lastRecord() const {
    return window_.Grid().rowCount() - 1;
}

// The whole table at first; the last-record box starts unticked.
void TFm_CsvFixed::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!std::exchange(firstShow_, false)) return;
    Lab_Title_->setText(QStringLiteral("表示内容をＣＳＶ形式で出力します。"));
    const int last = lastRecord();
    Edt_RecNoMin_->setText(grouped(1));
    Edt_RecNoMax_->setText(grouped(last));
    Chk_LastRecNo_->setText(QStringLiteral("最終 Rec.No：") + grouped(last));
    Chk_LastRecNo_->setChecked(false);
}

void TFm_CsvFixed::Chk_LastRecNoClick() {
    if (Chk_LastRecNo_->isChecked())
        Edt_RecNoMax_->setText(grouped(lastRecord()));
    else
        Edt_RecNoMax_->clear();
}

void TFm_CsvFixed::Btn_ExecClick() {
    Btn_Exec_->setEnabled(false);
    if (Edt_RecNoMax_->text().isEmpty()) Edt_RecNoMax_->setText(Edt_RecNoMin_->text());
    const OutputRange range = ReadOutputRange(Edt_RecNoMin_->text().toStdString(),
                                              Edt_RecNoMax_->text().toStdString(), lastRecord());
    Edt_RecNoMin_->setText(grouped(range.first));
    Edt_RecNoMax_->setText(grouped(range.last));
    output(range);
    Btn_Exec_->setEnabled(true);
}

std::string TFm_CsvFixed::outputText(const OutputRange& range) {
    std::string text;
    const StringGrid& grid = window_.Grid();
    for (int row = range.first, k = 1; row <= range.last; ++row, ++k) {
        if (k % 1000 == 0) {
            Lab_OutRecNo_->setText(QStringLiteral("Rec.No ") + grouped(k) + QStringLiteral(" まで終了"));
            Lab_OutRecNo_->repaint();
        }
        text += OutputLine(grid, row, window_.separator());
        text += "\r\n";
    }
    return text;
}

// In the encoding a save would use, replacing the file safely.
bool TFm_CsvFixed::write(const std::string& path, const std::string& text) {
    std::optional<std::string> bytes = EncodeText(text, window_.saveEncoding());
    if (!bytes) return false;
    bytes->insert(0, ByteOrderMark(window_.saveEncoding()));
    return WriteFileAtomically(path, *bytes).ok();
}

void TFm_CsvFixed::output(const OutputRange& range) {
    UserDialogs& dialogs = window_.dialogs();
    const std::string folder =
        DialogStartFolder(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    const std::optional<std::string> path =
        dialogs.saveFile(OutputFileRequest(window_.fileInf().path, folder));
    if (!path) return;
    if (!dialogs.confirm(OutputQuestion(PathForDisplay(*path), range))) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string text = outputText(range);
    const bool written = write(*path, text);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        dialogs.information("出力ファイルの作成に失敗しました。");
        return;
    }
    Lab_OutRecNo_->setText(QStringLiteral("Rec.No ") + grouped(range.last) +
                           QStringLiteral(" まで終了"));
    if (range.last - range.first + 1 > kShownLines)
        dialogs.information(OutputDoneNotice(PathForDisplay(*path), range));
    else
        browser_.ShowTextFile(nullptr, QStringLiteral("★出力しました。 "), true, *path);
}

} // namespace tabulix
