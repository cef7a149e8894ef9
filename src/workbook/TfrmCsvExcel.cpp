#include "workbook/TfrmCsvExcel.h"

#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "view/WindowHelpers.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabulix {

namespace {

const QColor kFormColour(0x5F, 0x5F, 0x5F);
const QString kOpeGuide = QStringLiteral("(読み込むシート名を選択して下さい)");

void setColours(QWidget* widget, const QColor& base, const QColor& text = Qt::black) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, base);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Restores the cursor also when a read ends early.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TfrmCsvExcel::TfrmCsvExcel(Workbook& book, std::string path, std::string& target,
                           UserDialogs& dialogs, int margin, QWidget* parent)
    : QDialog(parent), book_(book), path_(std::move(path)), target_(target), dialogs_(dialogs),
      margin_(margin) {
    setObjectName(QStringLiteral("TfrmCsvExcel"));
    setColours(this, kFormColour);

    auto* menuBar = named(new QMenuBar(this), "MainMenu");
    setColours(menuBar, QApplication::palette().color(QPalette::Window));
    QMenu* file = menuBar->addMenu(QStringLiteral("File(&F)"));
    file->setObjectName(QStringLiteral("mnFile"));
    QAction* close = file->addAction(QStringLiteral("閉じる(&X)"));
    close->setObjectName(QStringLiteral("mnClose"));
    connect(close, &QAction::triggered, this, &TfrmCsvExcel::mnCloseClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    client_ = new QWidget(this);
    layout->addWidget(client_);
    client_->installEventFilter(this);
    pnlBase_ = buildBase();
    resize(560, 420);
    FormCreate();
}

QWidget* TfrmCsvExcel::buildBase() {
    auto* base = named(new QFrame(client_), "pnlBase");
    base->setFrameStyle(QFrame::Panel | QFrame::Raised);
    setColours(base, QApplication::palette().color(QPalette::Window));

    pnlPathGuide_ = named(new QLabel(base), "pnlPathGuide");
    pnlPathGuide_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edtMemo_ = named(new QLineEdit(base), "edtMemo");
    edtMemo_->setReadOnly(true);
    setColours(edtMemo_, QColor(0xC0, 0xC0, 0xC0));
    lstSheet_ = named(new QListWidget(base), "lstSheet");
    setColours(lstSheet_, QColor(0xC0, 0xC0, 0xC0));
    edtSheetName_ = named(new QLineEdit(base), "edtSheetName");
    btnOK_ = named(new QPushButton(QStringLiteral("ＯＫ"), base), "btnOK");
    auto* btnClose = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), base), "btnClose");
    btnOK_->setAutoDefault(false);
    btnClose->setAutoDefault(false);

    auto* path = new QHBoxLayout;
    path->addWidget(pnlPathGuide_);
    path->addWidget(edtMemo_, 1);
    auto* name = new QHBoxLayout;
    name->addWidget(named(new QLabel(QStringLiteral("シート名"), base), "Label2"));
    name->addWidget(edtSheetName_, 1);
    auto* buttons = new QHBoxLayout;
    labOpeGuide_ = named(new QLabel(kOpeGuide, base), "labOpeGuide");
    buttons->addWidget(labOpeGuide_);
    buttons->addStretch();
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnClose);
    auto* column = new QVBoxLayout(base);
    column->addLayout(path);
    column->addWidget(named(new QLabel(QStringLiteral("読み込むシートを選択して下さい。"), base), "Label1"));
    column->addWidget(lstSheet_, 1);
    column->addLayout(name);
    column->addLayout(buttons);

    connect(lstSheet_, &QListWidget::currentRowChanged, this, &TfrmCsvExcel::lstSheetClick);
    connect(lstSheet_, &QListWidget::itemDoubleClicked, this, &TfrmCsvExcel::btnOKClick);
    connect(btnOK_, &QPushButton::clicked, this, &TfrmCsvExcel::btnOKClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmCsvExcel::mnCloseClick);
    return base;
}

void TfrmCsvExcel::FormCreate() {
    readDone_ = false;
    edtMemo_->clear();
    edtSheetName_->clear();
    pnlPathGuide_->clear();
    lstSheet_->clear();
}

void TfrmCsvExcel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmCsvExcel::FormShow() {
    setWindowTitle(QStringLiteral("Tabulix  Excel ファイルの読み込み"));
    pnlPathGuide_->setText(QStringLiteral(" 入力ファイル"));
    edtMemo_->setText(QString::fromStdString(path_));
    edtSheetName_->setReadOnly(true);
    setColours(edtSheetName_, Qt::white, Qt::blue);
    lstSheet_->clear();
    const std::vector<std::string>& names = book_.sheetNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        lstSheet_->addItem(
            QString::fromStdString(PadLeft(' ', std::to_string(i + 1), 3) + ". " + names[i]));
    FitListWidth(lstSheet_);
    edtSheetName_->clear();
    btnOK_->setEnabled(false);
    if (lstSheet_->count() > 0) {
        btnOK_->setEnabled(true);
        lstSheet_->setCurrentRow(0);
        lstSheetClick();
    }
}

void TfrmCsvExcel::lstSheetClick() {
    const QListWidgetItem* item = lstSheet_->currentItem();
    if (!item) return;
    const QString text = item->text();
    edtSheetName_->setText(text.mid(text.indexOf(u'.') + 1).trimmed());
}

void TfrmCsvExcel::btnOKClick() {
    const int row = lstSheet_->currentRow();
    if (row < 0) return;
    SheetText sheet;
    {
        WaitCursor wait;
        lastProgressPaint_ = 0;
        book_.setProgress([this](std::uint64_t done, std::uint64_t total) { showProgress(done, total); });
        sheet = book_.readSheet(static_cast<std::size_t>(row));
        book_.setProgress({});
        labOpeGuide_->setText(kOpeGuide);
    }
    if (sheet.problem != WorkbookProblem::None) {
        // The window stays, so that another sheet can be chosen or the read cancelled.
        dialogs_.error(WorkbookFailureMessage(path_, sheet.problem, book_.limits()));
        return;
    }
    target_ = std::move(sheet.lines);
    readDone_ = true;
    accept();
}

// How far a long read is, at most every 100 ms.
void TfrmCsvExcel::showProgress(std::uint64_t done, std::uint64_t total) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastProgressPaint_ < 100 || total == 0) return;
    lastProgressPaint_ = now;
    labOpeGuide_->setText(QStringLiteral(" 読み込み中 ... ") + QString::number(done * 100 / total) +
                          QStringLiteral(" %"));
    labOpeGuide_->repaint();
}

void TfrmCsvExcel::mnCloseClick() {
    reject();
}

bool TfrmCsvExcel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) InsetPanel(client_, pnlBase_, margin_);
    return QDialog::eventFilter(watched, event);
}

} // namespace tabulix
