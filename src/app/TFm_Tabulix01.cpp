#include "app/TFm_Tabulix01.h"

#include "app/ControlAvailability.h"
#include "app/CellMemoCommands.h"
#include "app/EditCommands.h"
#include "app/HelpCommands.h"
#include "app/PrintCommands.h"
#include "csv/ReadAhead.h"
#include "app/SingleRowEditor.h"
#include "app/MainMenu.h"
#include "sort/TFm_CsvFunc.h"
#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "table/FixedColumn.h"
#include "settings/SettingsFile.h"
#include "table/TableLayout.h"
#include "table/UserDialogs.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"
#include "search/TFm_Tabulix02.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace tabulix {

namespace {

const char* const kVersionCaption = "Tabulix Ver 3.05";
const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";
const char* const kClearQuestion =
    "内容をクリアーして初期化します。\r\n\r\n (１行１列になる)\r\n\r\nよろしいですか？";
const QColor kWindowColour(0x5F, 0x5F, 0x5F);

} // namespace

// The base panel: holds the tool panels and the grid and, while the grid is
// hidden during long work, shows a status text in its middle.
class CaptionPanel : public QFrame {
public:
    explicit CaptionPanel(QWidget* parent) : QFrame(parent) {
        setObjectName(QStringLiteral("pnlBase"));
        setAutoFillBackground(true);
    }
    void setCaption(const QString& text) {
        caption_ = text;
        update();
    }
    const QString& caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        if (caption_.isEmpty()) return;
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignCenter, caption_);
    }

private:
    QString caption_;
};

// The window's own colour, showing as the frame around the base panel. Painted
// rather than set in the palette, so the panels keep the ordinary colours.
class DarkFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kWindowColour); }
};

TFm_Tabulix01::TFm_Tabulix01(UserDialogs& dialogs, Clipboard& clipboard, Settings settings,
                             QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), clipboard_(clipboard),
      settings_(std::move(settings)) {
    setObjectName(QStringLiteral("TFm_Tabulix01"));
    doubleClick_.interval = std::chrono::milliseconds(500);
    buildWindow();
    connectCommands();
    createSearchWindow();
    setWindowTitle(QString::fromUtf8(kVersionCaption));
    edit_.headerMode = HeaderMode::Cells;
    modified_ = false;
    setBaseCaption({});
    controls_.pnlMsg->clear();
    controls_.Lab_Records->clear();
    controls_.Lab_Fields->clear();
    applyAvailability();
    SetControlsEnabled(true);
    setAcceptDrops(true);
    placeOnScreen();
}

// The grid widget outlives the members (children go with the base class), so
// it lets go of the table's grid first.
TFm_Tabulix01::~TFm_Tabulix01() {
    delete std::exchange(editCommands_, nullptr); // it works on the members below
    delete std::exchange(search_, nullptr);       // so does the search window
    delete std::exchange(csvFunc_, nullptr);
    grid_->setGrid(nullptr);
}

void TFm_Tabulix01::buildWindow() {
    buildMainMenu(menuBar());
    client_ = new DarkFrame(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->installEventFilter(this);
    setCentralWidget(client_);

    pnlBase_ = new CaptionPanel(client_);
    auto* layout = new QVBoxLayout(pnlBase_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopPanel(pnlBase_, controls_));
    layout->addWidget(buildViewPanel(pnlBase_, controls_));
    grid_ = new GridWidget(pnlBase_);
    grid_->setObjectName(QStringLiteral("Grid"));
    grid_->setGrid(&table_.grid);
    layout->addWidget(grid_, 1);

    readAhead_ = std::make_unique<ReadAhead>();
    MyTimer_ = new QTimer(this);
    MyTimer_->setObjectName(QStringLiteral("MyTimer"));
    MyTimer_->setInterval(200);
    SaveTimer_ = new QTimer(this);
    SaveTimer_->setObjectName(QStringLiteral("SaveTimer"));
    SaveTimer_->setInterval(700);
    GridTimer_ = new QTimer(this);
    GridTimer_->setObjectName(QStringLiteral("GridTimer"));
    GridTimer_->setInterval(25);
}

QAction* TFm_Tabulix01::action(const char* objectName) const {
    return menuBar()->findChild<QAction*>(QString::fromUtf8(objectName));
}

bool TFm_Tabulix01::menuChecked(const char* objectName) const {
    const QAction* a = action(objectName);
    return a && a->isChecked();
}

void TFm_Tabulix01::connectCommands() {
    connect(action("Mn_InitClear"), &QAction::triggered, this, &TFm_Tabulix01::Mn_InitClearClick);
    connect(action("Mn_Exit"), &QAction::triggered, this, &TFm_Tabulix01::Mn_ExitClick);
    connect(action("Mn_FixedRowSEQ"), &QAction::triggered, this,
            &TFm_Tabulix01::Mn_FixedRowSEQClick);
    connectFileCommands();
    connectWorkbookCommands();
    connectViewCommands();
    editCommands_ = new EditCommands(*this);
    help_ = new HelpCommands(*this);
    print_ = new PrintCommands(*this);
    connectSortCommands();
    connect(action("Mn_RecEtc"), &QAction::triggered, this, &TFm_Tabulix01::Mn_RecEtcClick);
    connect(MyTimer_, &QTimer::timeout, this, &TFm_Tabulix01::MyTimerTimer);
    connect(SaveTimer_, &QTimer::timeout, this, &TFm_Tabulix01::SaveTimerTimer);
}

// Menu items and tool controls whose commands are not built stay disabled.
void TFm_Tabulix01::applyAvailability() {
    for (QAction* a : menuBar()->findChildren<QAction*>()) {
        if (a->menu() || a->isSeparator() || a->objectName().isEmpty()) continue;
        if (!isCommandBuilt(a->objectName())) a->setEnabled(false);
    }
    for (QWidget* w : pnlBase_->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.startsWith(QStringLiteral("Btn_")) || name.startsWith(QStringLiteral("Cmb_")) ||
            name.startsWith(QStringLiteral("Chk_")) || name.startsWith(QStringLiteral("scb")))
            if (!isCommandBuilt(name)) w->setEnabled(false);
    }
}

void TFm_Tabulix01::SetControlsEnabled(bool on) {
    const ToolControls& c = controls_;
    const QList<QWidget*> widgets{
        c.Btn_OpenCsv, c.Btn_OpenBoard, c.Btn_Sort,     c.Btn_Select,    c.Btn_VertGrid,
        c.Btn_ViewCol, c.Cmb_FixedRows, c.Cmb_KomRow,   c.Cmb_LimColLen, c.Cmb_Fold,
        c.Cmb_CrNext,  c.Cmb_Bunri,     c.Cmb_FixedCol, c.Cmb_FixedKeta, grid_,
        c.Cmb_Moji}; // the encoding goes with the separator
    for (QWidget* w : widgets)
        w->setEnabled(on && isCommandBuilt(w->objectName()));
    for (const char* name :
         {"Mn_OutputCsv", "Mn_FixedCenter", "Mn_DataCenter", "Mn_TrimSpace", "Mn_DateEdit",
          "Mn_BreakColor", "Mn_KaraGyoColor", "Mn_KaraGyoBlack", "Mn_ConfPaste", "Mn_ConfClear",
          "Mn_ConfInsert", "Mn_ConfCopy", "Mn_ConfMove", "Mn_ConfDelete"}) {
        QAction* a = action(name);
        a->setEnabled(on && isCommandBuilt(a->objectName()));
    }
}

// Two thirds of the screen, centred; a stored normal rectangle that lies on
// the screen wins, and a stored maximised state maximises.
void TFm_Tabulix01::placeOnScreen() {
    SizeToScreen(this, 2.0 / 3.0, 2.0 / 3.0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    LimitWindowSize(settings_, area.width(), area.height());
    const Settings& s = settings_;
    if (s.windowTop > 0 && s.windowLeft > 0 && s.windowTop < area.height() &&
        s.windowLeft < area.width() && s.windowWidth > 0 && s.windowHeight > 0)
        setGeometry(s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight);
    if (s.winSta == 1) setWindowState(windowState() | Qt::WindowMaximized);
}

bool TFm_Tabulix01::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) InsetBasePanel();
    // A miniature scroll bar that gets the keyboard hands it to the grid.
    if ((watched == controls_.scbMinVert || watched == controls_.scbMinHorz) &&
        event->type() == QEvent::FocusIn)
        focusGrid();
    return QMainWindow::eventFilter(watched, event);
}

void TFm_Tabulix01::InsetBasePanel() {
    InsetPanel(client_, pnlBase_, controls_.Cmb_Kijyun->height() * 2 / 5);
}

void TFm_Tabulix01::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShow_) firstShow();
}

void TFm_Tabulix01::firstShow() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ApplySettings();
    ResetTable();
    RefreshCaption();
    showTableEncoding();
    events_.columnsChanged();
    events_.resultsStale(true);
    firstShow_ = false;
    help_->registerEntries();
    readStartFileAhead();
    MyTimer_->start();
    SaveTimer_->start();
    QGuiApplication::restoreOverrideCursor();
}

void TFm_Tabulix01::MyTimerTimer() {
    // Fires once after the first showing, so the argument is handled in a
    // window that is already on the screen.
    MyTimer_->stop();
    if (startArgument_) CommandLineHandler(*std::exchange(startArgument_, std::nullopt));
    readAhead_->drop(); // not taken: the handler did something else
}

void TFm_Tabulix01::SaveTimerTimer() {
    QPushButton* save = controls_.Btn_Save;
    const bool wanted = modified_ && isCommandBuilt(save->objectName());
    if (save->isEnabled() == wanted) return;
    save->setEnabled(wanted);
    QFont font = save->font();
    font.setBold(wanted);
    save->setFont(font);
}

namespace {

void selectItem(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

void TFm_Tabulix01::ApplySettings() {
    NormaliseIndexes(settings_);
    const Settings& s = settings_;
    const ToolControls& c = controls_;
    selectItem(c.Cmb_FixedRows, s.cmbFixedRows);
    selectItem(c.Cmb_KomRow, s.cmbKomRow);
    selectItem(c.Cmb_LimColLen, s.cmbLimColLen);
    if (c.Cmb_LimColLen->currentIndex() < 0)
        c.Cmb_LimColLen->setCurrentIndex(kWidthLimitFallbackItem);
    selectItem(c.Cmb_Fold, s.cmbFold);
    selectItem(c.Cmb_CrNext, s.cmbCrNext);
    c.Cmb_Bunri->setCurrentIndex(0);
    selectItem(c.Cmb_Bunri, s.cmbBunri);
    if (c.Cmb_Bunri->currentIndex() < 0) c.Cmb_Bunri->setCurrentIndex(0);
    separator_ = separatorTable()[c.Cmb_Bunri->currentIndex()].separator;
    selectItem(c.Cmb_FixedKeta, s.cmbFixedKeta);
    selectItem(c.Cmb_Moji, s.cmbMoji);

    const std::pair<const char*, bool> checks[] = {
        {"Mn_FixedCenter", s.fixedCenter},   {"Mn_DataCenter", s.dataCenter},
        {"Mn_TrimSpace", s.trimSpace},       {"Mn_DateEdit", s.dateEdit},
        {"Mn_BreakColor", s.breakColor},     {"Mn_KaraGyoColor", s.karaGyoColor},
        {"Mn_KaraGyoBlack", s.karaGyoBlack}, {"Mn_FixedRowSEQ", s.fixedRowSEQ},
        {"Mn_ConfPaste", s.confPaste},       {"Mn_ConfClear", s.confClear},
        {"Mn_ConfInsert", s.confInsert},     {"Mn_ConfCopy", s.confCopy},
        {"Mn_ConfMove", s.confMove},         {"Mn_ConfDelete", s.confDelete}};
    for (const auto& [name, on] : checks)
        action(name)->setChecked(on);
    readDisplayOptions();
    search_->LoadFindHistory(settings_.findWords);
}

RowNumbering TFm_Tabulix01::rowNumbering() const {
    const int item = controls_.Cmb_FixedRows->currentIndex();
    // With no item chosen the header rows stay as the grid has them.
    const int headerRows = item >= 0 ? item : std::max(0, table_.grid.fixedRows() - 1);
    return RowNumbering{menuChecked("Mn_FixedRowSEQ"),
                        std::min(headerRows, std::max(0, table_.grid.rowCount() - 1))};
}

ResetMetrics TFm_Tabulix01::resetMetrics() const {
    return ResetMetrics{gridCharWidth(), controls_.Cmb_Kijyun->height(),
                        WidthLimitOfItem(controls_.Cmb_LimColLen->currentIndex()),
                        separator_.isNone()};
}

void TFm_Tabulix01::ResetTable(int columns, int rows) {
    edit_.forgetForReset();
    tabulix::ResetTable(table_, columns, rows, resetMetrics());
    // The header drag only while the move command exists.
    const ToolControls& c = controls_;
    grid_->setRowMovingEnabled(c.Chk_MoveRow->isChecked() && isCommandBuilt(u"Chk_MoveRow"));
    grid_->setColMovingEnabled(c.Chk_MoveCol->isChecked() && isCommandBuilt(u"Chk_MoveCol"));
    controls_.Cmb_FixedCol->clear();
    controls_.Cmb_FixedCol->addItem(QStringLiteral(" 無し"));
    controls_.Cmb_FixedCol->setCurrentIndex(0);
    grid_->setCurrentCellSilently(kFirstDataCol, 1);
    edit_.mouseDownCol = kFirstDataCol;
    edit_.mouseDownRow = 1;
    if (menuChecked("Mn_BreakColor")) RecomputeBreakShades(table_, -1, 0);
    events_.tableReset();
}

void TFm_Tabulix01::RefreshCaption() {
    const QString path = QString::fromStdString(PathForDisplay(fileInf_.path));
    if (editCommands_ && editCommands_->rowEditor().isOpen())
        setWindowTitle(QStringLiteral("Tabulix 単行編集   [ ") + path + QStringLiteral(" ]"));
    else if (!captionOverride_.isEmpty())
        setWindowTitle(captionOverride_);
    else
        setWindowTitle(QString::fromUtf8(kVersionCaption) + QStringLiteral("  [ ") + path +
                       QStringLiteral(" ]"));
    const StringGrid& grid = table_.grid;
    // The number column of the last row already carries its formatted number.
    controls_.Lab_Records->setText(QString::fromStdString(grid.cellText(0, grid.rowCount() - 1)));
    controls_.Lab_Fields->setText(QString::number(grid.colCount() - kFixedColCount) +
                                  QStringLiteral(" "));
    table_.markedColCount =
        static_cast<int>(std::count_if(table_.colRecords.begin(), table_.colRecords.end(),
                                       [](const ColumnRecord& r) { return r.marked; }));
}

void TFm_Tabulix01::ApplyFixedRows(bool moveCursor) {
    const int item = controls_.Cmb_FixedRows->currentIndex();
    if (item < 0) return;
    tabulix::ApplyFixedRows(table_.grid, item);
    if (moveCursor) grid_->setCurrentCellSilently(kFirstDataCol, table_.grid.fixedRows());
}

void TFm_Tabulix01::RenumberRows() {
    tabulix::RenumberRows(table_.grid, rowNumbering());
    ApplyFixedRows(false);
    RefreshCaption();
    events_.resultsStale(false);
}

void TFm_Tabulix01::RefreshColumns() {
    RenumberColumns(table_.grid);
    QComboBox* fixedCol = controls_.Cmb_FixedCol;
    const int chosen = fixedCol->currentIndex();
    fixedCol->clear();
    for (const std::string& item : FixedColumnItems(table_.grid))
        fixedCol->addItem(QString::fromStdString(item));
    fixedCol->setCurrentIndex(chosen >= 0 && chosen < fixedCol->count() ? chosen : 0);
    const int k = fixedCol->currentIndex();
    SetUpFixedColumn(table_.grid, k, controls_.Cmb_FixedKeta->currentIndex(), gridCharWidth());
    FillFixedColumn(table_.grid, k);
    events_.columnsChanged();
    RefreshCaption();
    events_.resultsStale(false);
}

void TFm_Tabulix01::setBaseCaption(const QString& text) {
    pnlBase_->setCaption(text);
}

void TFm_Tabulix01::repaintBaseCaption() {
    pnlBase_->repaint();
}

QString TFm_Tabulix01::baseCaption() const {
    return pnlBase_->caption();
}

void TFm_Tabulix01::setGridShown(bool shown) {
    grid_->setVisible(shown);
    if (shown) grid_->setFocus();
}

void TFm_Tabulix01::Mn_InitClearClick() {
    if (!dialogs_.confirm(kClearQuestion)) return;
    ResetTable();
    RefreshCaption();
    events_.columnsChanged();
    events_.resultsStale(false);
    modified_ = true;
}

void TFm_Tabulix01::Mn_FixedRowSEQClick() {
    RenumberRows();
    grid_->setFocus();
}

void TFm_Tabulix01::Mn_ExitClick() {
    close();
}

bool TFm_Tabulix01::confirmClose() {
    if (!modified_) return true;
    switch (dialogs_.questionYesNoCancel(kSaveQuestion)) {
    case Answer::Yes:
        return saveBeforeLeaving();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void TFm_Tabulix01::finishCellEdit() {
    if (!editCommands_) return;
    editCommands_->memo().finishEditing();
    editCommands_->rowEditor().Btn_VertGridEndClick();
}

// Closing while the single-row editor is open closes the editor only.
void TFm_Tabulix01::closeEvent(QCloseEvent* event) {
    editCommands_->memo().finishEditing();
    if (editCommands_->rowEditor().isOpen()) {
        editCommands_->rowEditor().Btn_VertGridEndClick();
        event->ignore();
        return;
    }
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    rememberWindowRect();
    CollectSettings();
    writeSettingsFile();
    MyTimer_->stop();
    SaveTimer_->stop();
    event->accept();
}

} // namespace tabulix
