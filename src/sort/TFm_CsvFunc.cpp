#include "sort/TFm_CsvFunc.h"

#include "sort/SortHost.h"
#include "sort/SortLists.h"
#include "table/Table.h"
#include "table/TableEvents.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace tabulix {

namespace {

const QColor kFormColour(0x5F, 0x5F, 0x5F);
const QColor kSilver(0xC0, 0xC0, 0xC0);

void setWindowColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* makeHeader(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(24);
    return label;
}

} // namespace

// A list whose items are dragged to the other list (or within itself); the
// owner decides what a drop does, after the drag has ended.
class SortListBox : public QListWidget {
public:
    explicit SortListBox(QWidget* parent) : QListWidget(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setDragEnabled(true);
        setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::CopyAction);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    std::function<bool(QObject* source)> accepts;
    std::function<void(QObject* source, int target)> dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { acceptIfAllowed(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { acceptIfAllowed(event); }
    void dropEvent(QDropEvent* event) override {
        if (!accepts(event->source())) return event->ignore();
        const QListWidgetItem* under = itemAt(event->position().toPoint());
        const int target = under ? row(under) : -1;
        // Nothing moves by the view itself: the owner rewrites the lists.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        QObject* source = event->source();
        QTimer::singleShot(0, this, [this, source, target] { dropped(source, target); });
    }

private:
    void acceptIfAllowed(QDragMoveEvent* event) {
        if (!accepts(event->source())) return event->ignore();
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
};

// Every change of the table's columns (a load, a reset, the column-name row)
// makes the lists afresh, so chosen keys never outlive the table.
class TFm_CsvFunc::Listener final : public TableListener {
public:
    explicit Listener(TFm_CsvFunc& window) : window_(window) {}
    void tableReset() override { rebuild(); }
    void columnsChanged() override { rebuild(); }

private:
    void rebuild() {
        window_.RebuildColumnLists();
        window_.RebuildDisplayGrid();
    }
    TFm_CsvFunc& window_;
};

TFm_CsvFunc::TFm_CsvFunc(std::unique_ptr<SortHost> host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), host_(std::move(host)) {
    setObjectName(QStringLiteral("TFm_CsvFunc"));
    // Closing the main window ends the program even while this one shows.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildWindow();
    connectControls();
    resize(760, 560);
    listener_ = std::make_unique<Listener>(*this);
    host_->tableEvents().subscribe(listener_.get());
}

TFm_CsvFunc::~TFm_CsvFunc() {
    host_->tableEvents().unsubscribe(listener_.get());
}

void TFm_CsvFunc::buildWindow() {
    auto* menu = menuBar()->addMenu(QStringLiteral("File(&F)"));
    menu->setObjectName(QStringLiteral("Mn_File"));
    QAction* exit = menu->addAction(QStringLiteral("終了(&X)"));
    exit->setObjectName(QStringLiteral("Mn_Exit"));
    connect(exit, &QAction::triggered, this, &TFm_CsvFunc::Btn_SortEndClick);

    client_ = new QWidget(this);
    setWindowColour(client_, kFormColour);
    client_->installEventFilter(this);
    setCentralWidget(client_);
    pnlBase_ = new QWidget(client_);
    pnlBase_->setObjectName(QStringLiteral("pnlBase"));
    setWindowColour(pnlBase_, palette().color(QPalette::Window));
    auto* layout = new QVBoxLayout(pnlBase_);
    layout->setContentsMargins(0, 0, 0, 0);
    PageCtl_ = new QTabWidget(pnlBase_);
    PageCtl_->setObjectName(QStringLiteral("PageCtl"));
    PageCtl_->addTab(buildSortTab(), QStringLiteral("列と行の並び替え"));
    PageCtl_->addTab(buildDisplayTab(), QStringLiteral("列の表示抑制"));
    layout->addWidget(PageCtl_);
}

QWidget* TFm_CsvFunc::buildListPanel(const char* headerName, const QString& header,
                                     QListWidget* list) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QLabel* label = makeHeader(panel, headerName, header);
    if (list == LbxSelection_) pnlSelection_ = label;
    layout->addWidget(label);
    layout->addWidget(list, 1);
    return panel;
}

QWidget* TFm_CsvFunc::buildSortTab() {
    Tab_Sort_ = new QWidget;
    Tab_Sort_->setObjectName(QStringLiteral("Tab_Sort"));
    auto* layout = new QVBoxLayout(Tab_Sort_);
    auto* hint = new QLabel(
        QStringLiteral("並び替えキー項目を選択して下さい。(Drag＆Drop 削除は逆操作)"), Tab_Sort_);
    hint->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(hint);

    LbxSelection_ = new SortListBox(Tab_Sort_);
    LbxSelection_->setObjectName(QStringLiteral("LbxSelection"));
    LbxSortKey_ = new SortListBox(Tab_Sort_);
    LbxSortKey_->setObjectName(QStringLiteral("LbxSortKey"));
    // Monospaced, so the right-aligned column numbers line up.
    LbxSelection_->setFont(gridFont());
    LbxSortKey_->setFont(gridFont());
    auto* splitSort1 = new QSplitter(Qt::Horizontal, Tab_Sort_);
    splitSort1->setObjectName(QStringLiteral("splitSort1"));
    auto* splitSort2 = new QSplitter(Qt::Horizontal);
    splitSort2->setObjectName(QStringLiteral("splitSort2"));
    splitSort1->addWidget(buildListPanel("pnlSelection", QStringLiteral("列名 []"), LbxSelection_));
    splitSort1->addWidget(splitSort2);
    splitSort2->addWidget(
        buildListPanel("pnlSortKey", QStringLiteral("並び替えキー項目"), LbxSortKey_));
    splitSort2->addWidget(buildOptionPanel());
    splitSort1->setStretchFactor(0, 1);
    splitSort1->setStretchFactor(1, 1);
    splitSort2->setStretchFactor(0, 1);
    splitSort2->setStretchFactor(1, 0);
    layout->addWidget(splitSort1, 1);

    Lab_Msg_ = new QLabel(Tab_Sort_);
    Lab_Msg_->setObjectName(QStringLiteral("Lab_Msg"));
    setWindowColour(Lab_Msg_, kFormColour);
    Lab_Msg_->setMinimumHeight(24);
    setStatus({});
    layout->addWidget(Lab_Msg_);
    return Tab_Sort_;
}

QWidget* TFm_CsvFunc::buildOptionPanel() {
    auto* panel = new QWidget;
    auto* layout = new QGridLayout(panel);
    Chk_RowSort_ = new QCheckBox(QStringLiteral("行の並び替えを行う"), panel);
    Chk_RowSort_->setObjectName(QStringLiteral("Chk_RowSort"));
    Chk_RowSort_->setChecked(true);
    Chk_ColSort_ = new QCheckBox(QStringLiteral("キー項目を列先頭へ移動"), panel);
    Chk_ColSort_->setObjectName(QStringLiteral("Chk_ColSort"));
    Chk_ColSort_->setChecked(false);
    Btn_Sort_ = makeButton(panel, "Btn_Sort", "実行");
    // The stop button takes the run button's place while a sort runs.
    Btn_Stop_ = makeButton(panel, "Btn_Stop", "中断");
    Btn_Stop_->hide();
    Btn_SortEnd_ = makeButton(panel, "Btn_SortEnd", "終了");
    layout->addWidget(Chk_RowSort_, 0, 0);
    layout->addWidget(Chk_ColSort_, 1, 0);
    layout->setRowStretch(2, 1);
    layout->addWidget(Btn_Sort_, 3, 0);
    layout->addWidget(Btn_Stop_, 3, 0);
    layout->addWidget(Btn_SortEnd_, 4, 0);
    return panel;
}

void TFm_CsvFunc::connectControls() {
    auto* selection = static_cast<SortListBox*>(LbxSelection_);
    auto* sortKey = static_cast<SortListBox*>(LbxSortKey_);
    selection->accepts = [this](QObject* source) { return source == LbxSortKey_; };
    selection->dropped = [this](QObject*, int) { LbxSelectionDragDrop(); };
    sortKey->accepts = [this](QObject* source) {
        return source == LbxSelection_ || source == LbxSortKey_;
    };
    sortKey->dropped = [this](QObject* source, int target) {
        LbxSortKeyDragDrop(source == LbxSortKey_, target);
    };
    connect(LbxSortKey_, &QListWidget::pressed, this,
            [this](const QModelIndex& index) { draggedKey_ = index.row(); });
    connect(Btn_Sort_, &QPushButton::clicked, this, &TFm_CsvFunc::Btn_SortClick);
    connect(Btn_Stop_, &QPushButton::clicked, this, &TFm_CsvFunc::Btn_StopClick);
    connect(Btn_SortEnd_, &QPushButton::clicked, this, &TFm_CsvFunc::Btn_SortEndClick);
    connect(PrintGrid_, &GridWidget::currentCellChanged, this, &TFm_CsvFunc::PrintGridSelectCell);
    connect(PrintGrid_, &GridWidget::mouseDoubleClicked, this, &TFm_CsvFunc::PrintGridDblClick);
    connect(Btn_PrintAll_, &QPushButton::clicked, this, [this] { Btn_PrintAllClick(true); });
    connect(Btn_PrintOff_, &QPushButton::clicked, this, [this] { Btn_PrintAllClick(false); });
    connect(Btn_PrintEnd_, &QPushButton::clicked, this, &TFm_CsvFunc::Btn_SortEndClick);
}

void TFm_CsvFunc::open(Mode mode) {
    const bool sorting = mode == Mode::Sort;
    setWindowTitle(sorting ? QStringLiteral("Tabulix 列と行の並び替え")
                           : QStringLiteral("Tabulix 列の表示抑制"));
    PageCtl_->setTabVisible(0, sorting);
    PageCtl_->setTabVisible(1, !sorting);
    PageCtl_->setCurrentIndex(sorting ? 0 : 1);
    if (!sorting) RebuildDisplayGrid();
    if (!placed_) {
        CentreOnScreen(this);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    if (!sorting) PrintGrid_->setFocus();
}

void TFm_CsvFunc::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    InsetPanel(client_, pnlBase_, host_->referenceHeight() * 2 / 5);
}

bool TFm_CsvFunc::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        InsetPanel(client_, pnlBase_, host_->referenceHeight() * 2 / 5);
    return QMainWindow::eventFilter(watched, event);
}

// The column marks follow the main window's own display items, which may
// have changed while this window was in the background.
void TFm_CsvFunc::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        PrintGrid_->viewport()->update();
}

// Closing hides the window; a running sort stops, leaving the table as it was.
void TFm_CsvFunc::closeEvent(QCloseEvent* event) {
    event->ignore();
    Btn_SortEndClick();
}

void TFm_CsvFunc::Btn_SortEndClick() {
    if (running_) Btn_StopClick();
    hide();
    host_->bringForward();
}

QString TFm_CsvFunc::nameRowHeader() const {
    return QStringLiteral("列名 [") +
           QString::fromStdString(std::string(TrimBlanks(host_->nameRowCaption()))) +
           QStringLiteral("]");
}

void TFm_CsvFunc::RebuildColumnLists() {
    LbxSelection_->clear();
    LbxSortKey_->clear();
    draggedKey_ = -1;
    for (const std::string& item : ColumnListItems(host_->table().grid, host_->nameRow()))
        LbxSelection_->addItem(QString::fromStdString(item));
    pnlSelection_->setText(nameRowHeader());
    FitListWidth(LbxSelection_);
    FitListWidth(LbxSortKey_);
}

std::vector<std::string> TFm_CsvFunc::keyTexts() const {
    std::vector<std::string> keys;
    for (int i = 0; i < LbxSortKey_->count(); ++i)
        keys.push_back(LbxSortKey_->item(i)->text().toStdString());
    return keys;
}

QStringList TFm_CsvFunc::keyItems() const {
    QStringList items;
    for (int i = 0; i < LbxSortKey_->count(); ++i)
        items << LbxSortKey_->item(i)->text();
    return items;
}

void TFm_CsvFunc::setKeyItems(const std::vector<std::string>& keys, int selected) {
    LbxSortKey_->clear();
    for (const std::string& key : keys)
        LbxSortKey_->addItem(QString::fromStdString(key));
    if (selected >= 0) LbxSortKey_->setCurrentRow(selected);
    FitListWidth(LbxSortKey_);
}

void TFm_CsvFunc::LbxSortKeyDragDrop(bool fromKeys, int target) {
    std::vector<std::string> keys = keyTexts();
    if (fromKeys) {
        const int moved = MoveSortKey(keys, draggedKey_, target);
        if (moved >= 0) setKeyItems(keys, moved);
        return;
    }
    const QListWidgetItem* chosen = LbxSelection_->currentItem();
    if (!chosen) return;
    if (const auto refusal = AddSortKey(keys, chosen->text().toStdString())) {
        host_->dialogs().information(*refusal);
        return;
    }
    setKeyItems(keys, LbxSortKey_->currentRow());
}

void TFm_CsvFunc::LbxSelectionDragDrop() {
    const int selected = LbxSortKey_->currentRow();
    if (selected < 0) return;
    delete LbxSortKey_->takeItem(selected);
    draggedKey_ = -1;
    FitListWidth(LbxSortKey_);
}

std::vector<int> TFm_CsvFunc::keyColumns() const {
    std::vector<int> cols;
    const int fixedCols = host_->table().grid.fixedCols();
    for (const std::string& key : keyTexts())
        if (const int col = KeyColumnOfItem(key, fixedCols);
            col >= fixedCols && col < host_->table().grid.colCount())
            cols.push_back(col);
    return cols;
}

void TFm_CsvFunc::forgetMainClick() {
    host_->forgetClick();
    host_->repaintGrid();
}

} // namespace tabulix
