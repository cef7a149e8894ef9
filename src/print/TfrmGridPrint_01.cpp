#include "print/TfrmGridPrint_01.h"

#include "print/PageImage.h"
#include "print/PagePainter.h"
#include "print/PrintData.h"
#include "print/PrintFont.h"
#include "print/PrinterChoice.h"
#include "print/PrinterSetupDialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tabulix {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString qs(const char* text) {
    return QString::fromUtf8(text);
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
    auto* b = named(new QPushButton(qs(caption), parent), name);
    b->setAutoDefault(false);
    return b;
}

QPushButton* smallButton(const char* name, const char* caption, QWidget* parent) {
    QPushButton* b = button(name, caption, parent);
    b->setFixedWidth(28);
    return b;
}

QComboBox* list(const char* name, QWidget* parent) {
    auto* c = named(new QComboBox(parent), name);
    c->setMaxVisibleItems(20);
    return c;
}

QPushButton* stopButton(const char* name, const char* caption, QWidget* parent) {
    QPushButton* b = button(name, caption, parent);
    QFont bold = b->font();
    bold.setBold(true);
    b->setFont(bold);
    b->hide();
    return b;
}

QGroupBox* group(const char* name, const char* caption, QWidget* parent) {
    return named(new QGroupBox(qs(caption), parent), name);
}

} // namespace

TfrmGridPrint_01::TfrmGridPrint_01(const PrintJob& job, UserDialogs& dialogs,
                                   PrinterChoice& printers, QWidget* parent)
    : QMainWindow(parent), job_(job), dialogs_(dialogs), printers_(printers),
      setUp_(RunPrinterSetUp) {
    setObjectName(QStringLiteral("TfrmGridPrint_01"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    data_ = std::make_unique<PrintData>(job_, printFontMeasure(), dialogs_);
    painter_ = std::make_unique<PagePainter>(*data_);
    data_->setProgress([this](std::string_view text) {
        Mn_RecCount_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        // Lets the stop buttons be pressed during long work.
        QCoreApplication::processEvents();
    });
    createMenus();
    auto* base = new QWidget(this);
    auto* column = new QVBoxLayout(base);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    createHeader();
    createPreviewArea();
    column->addWidget(pnlHed_);
    column->addWidget(ScrBox_, 1);
    setCentralWidget(base);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    QApplication::restoreOverrideCursor();
}

TfrmGridPrint_01::~TfrmGridPrint_01() = default;

int TfrmGridPrint_01::pageCount() const {
    return data_->pageCount();
}

void TfrmGridPrint_01::createMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("File(&F)"));
    QAction* exit = file->addAction(QStringLiteral("終了(&X)"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnExit1"));

    mnSave_ = bar->addMenu(QStringLiteral("Save(&S)"));
    Mn_SaveCsv_ = mnSave_->addAction(QStringLiteral("1. 印刷データをＣＳＶ形式で保存する"), this,
                                     &TfrmGridPrint_01::Mn_SaveCsvClick);
    Mn_SaveCsv_->setObjectName(QStringLiteral("Mn_SaveCsv"));
    QMenu* html = mnSave_->addMenu(QStringLiteral("2. 印刷データをＨＴＭＬ形式で"));
    html->menuAction()->setObjectName(QStringLiteral("Mn_SaveHtmlMain"));
    html->addAction(QStringLiteral("1. 起動する"), this, &TfrmGridPrint_01::Mn_ExecHtmlClick)
        ->setObjectName(QStringLiteral("Mn_ExecHtml"));
    html->addAction(QStringLiteral("2. 保存する"), this, &TfrmGridPrint_01::Mn_SaveHtmlClick)
        ->setObjectName(QStringLiteral("Mn_SaveHtml"));

    PrintSettings& s = data_->settings();
    mnView_ = bar->addMenu(QStringLiteral("View(&V)"));
    Mn_FixedCenter_ = addCheck(mnView_, "Mn_FixedCenter", "1. 固定欄のセンター表示", &s.fixedCenter);
    Mn_DataCenter_ = addCheck(mnView_, "Mn_DataCenter", "2. 通常欄のセンター表示", &s.dataCenter);
    Mn_TrimSpace_ = addCheck(mnView_, "Mn_TrimSpace", "3. 前後の空白を除いて表示", &s.trimSpace);
    Mn_DateEdit_ = addCheck(mnView_, "Mn_DateEdit", "4. 日付編集表示 - 6, 8 桁の数字", &s.dateEdit);
    Mn_BreakColor_ =
        addCheck(mnView_, "Mn_BreakColor", "5. 前行と変化したらセルの色を変える", &s.breakColor);
    Mn_KaraGyoColor_ =
        addCheck(mnView_, "Mn_KaraGyoColor", "6. 空行は色を変える (Light)", &s.karaGyoColor);
    Mn_KaraGyoBlack_ =
        addCheck(mnView_, "Mn_KaraGyoBlack", "7. 空行は色を変える (Dark)", &s.karaGyoBlack);
    for (QAction* a : {Mn_FixedCenter_, Mn_DataCenter_, Mn_TrimSpace_, Mn_DateEdit_})
        connect(a, &QAction::triggered, this, &TfrmGridPrint_01::redraw);
    connect(Mn_BreakColor_, &QAction::triggered, this, &TfrmGridPrint_01::Mn_BreakColorClick);
    auto* empty = new QActionGroup(this);
    empty->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {Mn_KaraGyoColor_, Mn_KaraGyoBlack_}) {
        empty->addAction(a);
        connect(a, &QAction::triggered, this, [this] { drawPage(true); });
    }

    mnView2_ = bar->addMenu(QStringLiteral("View2(&W)"));
    for (QAction* a : {addCheck(mnView2_, "Mn_PrintRowNo", "1. 行番号の表示", &s.printRowNo),
                       addCheck(mnView2_, "Mn_PrintColNo", "2. 列番号の表示", &s.printColNo)})
        connect(a, &QAction::triggered, this, &TfrmGridPrint_01::rebuild);
    auto* names = new QActionGroup(this);
    names->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a :
         {addCheck(mnView2_, "Mn_PrintPathName", "3. フルパス名の表示", &s.printPathName),
          addCheck(mnView2_, "Mn_PrintFileName", "4. ファイル名の表示", &s.printFileName)}) {
        names->addAction(a);
        connect(a, &QAction::triggered, this, &TfrmGridPrint_01::redraw);
    }
    for (QAction* a : {addCheck(mnView2_, "Mn_PrintDate", "5. 印刷日時の表示", &s.printDate),
                       addCheck(mnView2_, "Mn_PrintPage", "6. ページ数の表示", &s.printPage)})
        connect(a, &QAction::triggered, this, &TfrmGridPrint_01::redraw);
    mnView2_->menuAction()->setVisible(job_.mainWindowMode);

    Mn_RecCount_ = bar->addAction(QString());
    Mn_RecCount_->setObjectName(QStringLiteral("Mn_RecCount"));
}

// A checked entry mirrors one menu check of the settings; a radio pair may
// be left with neither checked.
QAction* TfrmGridPrint_01::addCheck(QMenu* menu, const char* name, const char* caption,
                                    bool* setting) {
    QAction* action = menu->addAction(qs(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setChecked(*setting);
    // Runs before the handlers connected later, so they see the new value;
    // also follows the unchecking of a radio partner.
    connect(action, &QAction::toggled, this, [setting](bool on) { *setting = on; });
    return action;
}

void TfrmGridPrint_01::createHeader() {
    pnlHed_ = named(new QWidget(this), "pnlHed");
    auto* row = new QHBoxLayout(pnlHed_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    row->addWidget(createPageGroup());
    row->addWidget(createCellRateGroup());
    row->addWidget(createScaleGroup());
    row->addWidget(createMarginGroup());
    row->addWidget(createGrayGroup());
    row->addWidget(createPrinterGroup(), 1);
}

QGroupBox* TfrmGridPrint_01::createPageGroup() {
    grpPage_ = group("grpPage", " PAGE ", this);
    auto* grid = new QGridLayout(grpPage_);
    btnPageDw_ = smallButton("btnPageDw", "－", grpPage_);
    btnPageUp_ = smallButton("btnPageUp", "＋", grpPage_);
    edtPageMin_ = named(new QLineEdit(grpPage_), "edtPageMin");
    edtPageMax_ = named(new QLineEdit(grpPage_), "edtPageMax");
    for (QLineEdit* edit : {edtPageMin_, edtPageMax_}) {
        edit->setMaxLength(7);
        edit->setFixedWidth(64);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { edtPageMinExit(edit); });
    }
    scrPage_ = named(new QScrollBar(Qt::Horizontal, grpPage_), "scrPage");
    scrPage_->setRange(0, 0);
    scrPage_->setSingleStep(1);
    scrPage_->setPageStep(10);
    grid->addWidget(btnPageDw_, 0, 0);
    grid->addWidget(edtPageMin_, 0, 1);
    grid->addWidget(edtPageMax_, 0, 2);
    grid->addWidget(btnPageUp_, 0, 3);
    grid->addWidget(scrPage_, 1, 0, 1, 4);
    connect(btnPageDw_, &QPushButton::clicked, this, [this] { btnPageDwClick(-1); });
    connect(btnPageUp_, &QPushButton::clicked, this, [this] { btnPageDwClick(1); });
    connect(scrPage_, &QScrollBar::valueChanged, this, &TfrmGridPrint_01::scrPageChange);
    return grpPage_;
}

QGroupBox* TfrmGridPrint_01::createCellRateGroup() {
    grpCellRate_ = group("grpCellRate", " セルの拡大率 ", this);
    auto* grid = new QGridLayout(grpCellRate_);
    Cmb_CellWay_ = list("Cmb_CellWay", grpCellRate_);
    Cmb_CellWay_->addItems({QStringLiteral(" 手動で"), QStringLiteral(" １頁で")});
    btnFontDw_ = smallButton("btnFontDw", "－", grpCellRate_);
    btnFontUp_ = smallButton("btnFontUp", "＋", grpCellRate_);
    Lbl_CellScale_ = named(new QLabel(grpCellRate_), "Lbl_CellScale");
    Lbl_CellScale_->setMinimumWidth(48);
    Btn_DataCreate_ = button("Btn_DataCreate", "印刷データ作成", grpCellRate_);
    Btn_CreateStop_ = stopButton("Btn_CreateStop", "作成を中断する", grpCellRate_);
    Lbl_CreateSts_ = named(new QLabel(grpCellRate_), "Lbl_CreateSts");
    grid->addWidget(Cmb_CellWay_, 0, 0);
    grid->addWidget(btnFontDw_, 0, 1);
    grid->addWidget(Lbl_CellScale_, 0, 2);
    grid->addWidget(btnFontUp_, 0, 3);
    grid->addWidget(Lbl_CreateSts_, 1, 0);
    grid->addWidget(Btn_DataCreate_, 1, 1, 1, 3);
    grid->addWidget(Btn_CreateStop_, 1, 1, 1, 3);
    connect(Cmb_CellWay_, &QComboBox::activated, this, &TfrmGridPrint_01::Cmb_CellWayClick);
    connect(btnFontDw_, &QPushButton::clicked, this, [this] { btnFontDwClick(-1); });
    connect(btnFontUp_, &QPushButton::clicked, this, [this] { btnFontDwClick(1); });
    connect(Btn_DataCreate_, &QPushButton::clicked, this, &TfrmGridPrint_01::Btn_DataCreateClick);
    connect(Btn_CreateStop_, &QPushButton::clicked, this, [this] { data_->requestStop(); });
    return grpCellRate_;
}

QGroupBox* TfrmGridPrint_01::createScaleGroup() {
    grpSacle_ = group("grpSacle", " 表示倍率        復元時 ", this);
    auto* grid = new QGridLayout(grpSacle_);
    Cmb_Scale_ = list("Cmb_Scale", grpSacle_);
    Cmb_ResetScl_ = list("Cmb_ResetScl", grpSacle_);
    for (int i = 0; i < kZoomItems; ++i) {
        Cmb_Scale_->addItem(qs(ZoomItem(i)));
        Cmb_ResetScl_->addItem(qs(RestoreItem(i)));
    }
    Cmb_Scale_->setCurrentIndex(kFitIndex);
    Cmb_ResetScl_->setCurrentIndex(15);
    Btn_DispMode_ = button("Btn_DispMode", "縮小切替", grpSacle_);
    Cmb_LineKind_ = list("Cmb_LineKind", grpSacle_);
    Cmb_LineKind_->addItems({QStringLiteral(" 無し"), QStringLiteral(" 実線"), QStringLiteral(" 点線")});
    grid->addWidget(Cmb_Scale_, 0, 0);
    grid->addWidget(Cmb_ResetScl_, 0, 1);
    grid->addWidget(Btn_DispMode_, 1, 0);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(new QLabel(QStringLiteral("罫線"), grpSacle_));
    lineRow->addWidget(Cmb_LineKind_);
    grid->addLayout(lineRow, 1, 1);
    connect(Cmb_Scale_, &QComboBox::activated, this, &TfrmGridPrint_01::Cmb_ScaleClick);
    connect(Cmb_ResetScl_, &QComboBox::activated, this, &TfrmGridPrint_01::Cmb_ResetSclClick);
    connect(Btn_DispMode_, &QPushButton::clicked, this, &TfrmGridPrint_01::Btn_DispModeClick);
    connect(Cmb_LineKind_, &QComboBox::activated, this, [this](int index) {
        data_->settings().cmbLineKind = index;
        drawPage(true);
    });
    return grpSacle_;
}

QGroupBox* TfrmGridPrint_01::createMarginGroup() {
    grpYohaku_ = group("grpYohaku", " 余白 [mm] ", this);
    auto* grid = new QGridLayout(grpYohaku_);
    Cmb_MgnLeft_ = list("Cmb_MgnLeft", grpYohaku_);
    Cmb_MgnUp_ = list("Cmb_MgnUp", grpYohaku_);
    for (int i = 0; i <= 20; ++i) {
        const QString item = QStringLiteral(" %1").arg(i * 5);
        Cmb_MgnLeft_->addItem(item);
        Cmb_MgnUp_->addItem(item);
    }
    grid->addWidget(new QLabel(QStringLiteral("左"), grpYohaku_), 0, 0);
    grid->addWidget(Cmb_MgnLeft_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("上"), grpYohaku_), 1, 0);
    grid->addWidget(Cmb_MgnUp_, 1, 1);
    for (QComboBox* c : {Cmb_MgnLeft_, Cmb_MgnUp_})
        connect(c, &QComboBox::activated, this, &TfrmGridPrint_01::Cmb_MgnUpClick);
    return grpYohaku_;
}

QGroupBox* TfrmGridPrint_01::createGrayGroup() {
    grpGray_ = group("grpGray", " 網掛濃度 ", this);
    auto* grid = new QGridLayout(grpGray_);
    btnGrayDw_ = smallButton("btnGrayDw", "－", grpGray_);
    btnGrayUp_ = smallButton("btnGrayUp", "+", grpGray_);
    Cmb_Gray_ = list("Cmb_Gray", grpGray_);
    for (int i = 0; i <= 255; ++i)
        Cmb_Gray_->addItem(QStringLiteral(" %1").arg(i));
    Cmb_Gray_->setCurrentIndex(234);
    grid->addWidget(btnGrayDw_, 0, 0);
    grid->addWidget(btnGrayUp_, 0, 1);
    grid->addWidget(Cmb_Gray_, 1, 0, 1, 2);
    connect(btnGrayDw_, &QPushButton::clicked, this, [this] { btnGrayDwClick(-1); });
    connect(btnGrayUp_, &QPushButton::clicked, this, [this] { btnGrayDwClick(1); });
    connect(Cmb_Gray_, &QComboBox::activated, this, &TfrmGridPrint_01::applyGray);
    return grpGray_;
}

QGroupBox* TfrmGridPrint_01::createPrinterGroup() {
    grpPrinter_ = group("grpPrinter", " プリンタ ", this);
    auto* grid = new QGridLayout(grpPrinter_);
    lblPrtInf_ = named(new QLabel(grpPrinter_), "lblPrtInf");
    lblPrtInf_->setStyleSheet(QStringLiteral("color: blue;"));
    lblPrtInf_->setMinimumWidth(120);
    Btn_PrintExec_ = button("Btn_PrintExec", "印刷", grpPrinter_);
    Btn_PrintStop_ = stopButton("Btn_PrintStop", "中断", grpPrinter_);
    Btn_PrtSet_ = button("Btn_PrtSet", "プリンタの設定", grpPrinter_);
    grid->addWidget(lblPrtInf_, 0, 0, 1, 2);
    grid->addWidget(Btn_PrintExec_, 1, 0);
    grid->addWidget(Btn_PrintStop_, 1, 0);
    grid->addWidget(Btn_PrtSet_, 1, 1);
    connect(Btn_PrintExec_, &QPushButton::clicked, this, &TfrmGridPrint_01::Btn_PrintExecClick);
    connect(Btn_PrintStop_, &QPushButton::clicked, this, [this] { printing_ = false; });
    connect(Btn_PrtSet_, &QPushButton::clicked, this, &TfrmGridPrint_01::Btn_PrtSetClick);
    return grpPrinter_;
}

void TfrmGridPrint_01::createPreviewArea() {
    ScrBox_ = named(new QScrollArea(this), "ScrBox");
    ScrBox_->setBackgroundRole(QPalette::Dark);
    ScrBox_->setStyleSheet(QStringLiteral("QScrollArea#ScrBox { background: gray; }"));
    ScrBox_->setWidgetResizable(false);
    pnlImage_ = named(new QWidget, "pnlImage");
    pnlImage_->setAutoFillBackground(true);
    pnlImage_->setPalette(QPalette(QColor(192, 192, 192)));
    imgPrn_ = new PageImage(pnlImage_);
    imgPrn_->setFont(printFont(12));
    imgPrn_->mouseDown = [this](QPoint at) {
        downAt_ = at;
        dragging_ = true;
    };
    imgPrn_->mouseMove = [this](QPoint at, bool held) { imgPrnMouseMove(at, held); };
    imgPrn_->mouseUp = [this] { dragging_ = false; };
    imgPrn_->doubleClick = [this] { btnPageDwClick(dblClickStep_); };
    ScrBox_->setWidget(pnlImage_);
    lblPrintMsg_ = named(new QLabel(ScrBox_->viewport()), "lblPrintMsg");
    lblPrintMsg_->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: gray; font-size: 16px; }"));
    lblPrintMsg_->hide();
}

// Dragging moves the scroll bars with the mouse; a long move to the right
// (or none) makes a double click turn forward, one to the left backward.
void TfrmGridPrint_01::imgPrnMouseMove(QPoint at, bool leftHeld) {
    if (!dragging_ || !leftHeld) return;
    QScrollBar* v = ScrBox_->verticalScrollBar();
    QScrollBar* h = ScrBox_->horizontalScrollBar();
    v->setValue(std::clamp(v->value() - (at.y() - downAt_.y()), 0, v->maximum()));
    h->setValue(std::clamp(h->value() - (at.x() - downAt_.x()), 0, h->maximum()));
    const int aWidth = data_->metrics().charWidth;
    if (std::abs(at.x() - downAt_.x()) > 3 * aWidth) dblClickStep_ = at.x() >= downAt_.x() ? 1 : -1;
}

bool TfrmGridPrint_01::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyPress)
        return edtPageMinKeyPress(edit, static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

void TfrmGridPrint_01::closeEvent(QCloseEvent* event) {
    if (printing_ || busy_) {
        // Long work ends first; its stop button is the way out.
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    Q_EMIT closed();
}

// Minimising the preview minimises the program's window beneath it too.
void TfrmGridPrint_01::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && parentWidget())
        parentWidget()->window()->showMinimized();
}

PrintSettings TfrmGridPrint_01::resultSettings() const {
    PrintSettings result = data_->settings();
    result.cmbColor = job_.printSettings.cmbColor;
    if (!job_.tableMode) result.cellScale = job_.printSettings.cellScale;
    return result;
}

PrintSettings RunPrintPreview(const PrintJob& job, UserDialogs& dialogs, QWidget* parent) {
    PrinterChoice printers;
    TfrmGridPrint_01 window(job, dialogs, printers, parent);
    window.setWindowModality(Qt::ApplicationModal);
    if (!parent) window.setWindowIcon(QApplication::windowIcon());
    QEventLoop loop;
    QObject::connect(&window, &TfrmGridPrint_01::closed, &loop, &QEventLoop::quit);
    window.showMaximized();
    loop.exec();
    return window.resultSettings();
}

} // namespace tabulix
