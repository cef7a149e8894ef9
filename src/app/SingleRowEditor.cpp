#include "app/SingleRowEditor.h"

#include "app/ControlAvailability.h"
#include "app/TFm_Tabulix01.h"
#include "edit/EditSession.h"
#include "edit/RangeCommands.h"
#include "edit/UndoHistory.h"
#include "settings/SettingsFile.h"
#include "table/TableLayout.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tabulix {

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

QAction* item(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(utf8(caption));
    a->setObjectName(utf8(name));
    a->setEnabled(isCommandBuilt(a->objectName()));
    return a;
}

const QColor kNavy(0x00, 0x00, 0x80);

} // namespace

SingleRowEditor::SingleRowEditor(TFm_Tabulix01& window, EditSession& session, QObject* parent)
    : QObject(parent), window_(window), session_(session) {
    QWidget* base = window.gridWidget()->parentWidget();
    buildPanel(base);
    vertGrid_ = new GridWidget(base);
    vertGrid_->setObjectName(QStringLiteral("VertGrid"));
    vertGrid_->hide();
    if (auto* layout = qobject_cast<QVBoxLayout*>(base->layout())) {
        const int at = layout->indexOf(window.gridWidget());
        layout->insertWidget(at, pnlVertTop_);
        layout->insertWidget(at + 1, vertGrid_, 1);
    }
    buildMenus();
    connectGrid();
    window.tableEvents().subscribe(this);
}

SingleRowEditor::~SingleRowEditor() {
    window_.tableEvents().unsubscribe(this);
}

void SingleRowEditor::tableReset() {
    shownRow_ = -1;
    if (open_) Btn_VertGridEndClick();
}

void SingleRowEditor::buildPanel(QWidget* base) {
    pnlVertTop_ = new QWidget(base);
    pnlVertTop_->setObjectName(QStringLiteral("pnlVertTop"));
    auto* row = new QHBoxLayout(pnlVertTop_);
    row->setContentsMargins(4, 4, 4, 4);
    Btn_VertGridEnd_ = new QPushButton(utf8("終了"), pnlVertTop_);
    Btn_VertGridEnd_->setObjectName(QStringLiteral("Btn_VertGridEnd"));
    pnlVertRowNo_ = new QGroupBox(pnlVertTop_);
    pnlVertRowNo_->setObjectName(QStringLiteral("pnlVertRowNo"));
    auto* rowNo = new QHBoxLayout(pnlVertRowNo_);
    rowNo->setContentsMargins(4, 1, 4, 1);
    Lab_VertRowNo_ = new QLabel(pnlVertRowNo_);
    Lab_VertRowNo_->setObjectName(QStringLiteral("Lab_VertRowNo"));
    Lab_VertRowNo_->setMinimumWidth(110);
    scbVertRowNo_ = new QScrollBar(Qt::Vertical, pnlVertRowNo_);
    scbVertRowNo_->setObjectName(QStringLiteral("scbVertRowNo"));
    scbVertRowNo_->setFixedSize(16, 30);
    scbVertRowNo_->setRange(0, 2);
    scbVertRowNo_->setValue(1);
    scbVertRowNo_->setFocusPolicy(Qt::NoFocus);
    rowNo->addWidget(Lab_VertRowNo_);
    rowNo->addWidget(scbVertRowNo_);
    Btn_VertSelect_ = new QPushButton(utf8("検索"), pnlVertTop_);
    Btn_VertSelect_->setObjectName(QStringLiteral("Btn_VertSelect"));
    auto* widthBox = new QGroupBox(utf8("列名幅"), pnlVertTop_);
    auto* widthRow = new QHBoxLayout(widthBox);
    widthRow->setContentsMargins(4, 1, 4, 1);
    Cmb_VertKomKeta_ = new QComboBox(widthBox);
    Cmb_VertKomKeta_->setObjectName(QStringLiteral("Cmb_VertKomKeta"));
    for (int n = 0; n < kVertKomKetaItems; ++n)
        Cmb_VertKomKeta_->addItem(QStringLiteral(" ") + QString::number(n) + utf8("桁"));
    Cmb_VertKomKeta_->setFocusPolicy(Qt::NoFocus);
    widthRow->addWidget(Cmb_VertKomKeta_);
    for (QPushButton* b : {Btn_VertGridEnd_, Btn_VertSelect_})
        b->setFocusPolicy(Qt::NoFocus);
    row->addWidget(Btn_VertGridEnd_);
    row->addWidget(pnlVertRowNo_);
    row->addWidget(Btn_VertSelect_);
    row->addWidget(widthBox);
    row->addStretch(1);
    pnlVertTop_->hide();
    connect(Btn_VertGridEnd_, &QPushButton::clicked, this, &SingleRowEditor::Btn_VertGridEndClick);
    connect(Btn_VertSelect_, &QPushButton::clicked, &window_, &TFm_Tabulix01::Btn_SelectClick);
    connect(scbVertRowNo_, &QScrollBar::actionTriggered, this,
            &SingleRowEditor::scbVertRowNoScroll);
    connect(Cmb_VertKomKeta_, &QComboBox::activated, this,
            &SingleRowEditor::Cmb_VertKomKetaClick);
}

// MainMenu2's items live in the one menu bar beside MainMenu1's and only one
// set is visible at a time.
void SingleRowEditor::buildMenus() {
    QMenuBar* bar = window_.menuBar();
    mainMenu1_ = bar->actions();
    QMenu* file = bar->addMenu(QStringLiteral("File(&F)"));
    file->setObjectName(QStringLiteral("Mn2_File"));
    connect(item(file, "Mn2_Exit", "1. 終了 (&X)"), &QAction::triggered, this,
            &SingleRowEditor::Btn_VertGridEndClick);
    QMenu* edit = bar->addMenu(QStringLiteral("Edit(&E)"));
    edit->setObjectName(QStringLiteral("EditE1"));
    Mn2_Undo_ = item(edit, "Mn2_Undo", "元に戻す(&U)");
    Mn2_Undo_->setEnabled(false);
    connect(Mn2_Undo_, &QAction::triggered, this, &SingleRowEditor::Mn2_UndoClick);
    QMenu* print = bar->addMenu(QStringLiteral("Print(&P)"));
    print->setObjectName(QStringLiteral("Mn2_Print"));
    item(print, "Mn2_Printx", "1. 印刷する (&P)");
    mainMenu2_ = {file->menuAction(), edit->menuAction(), print->menuAction()};
    for (QAction* a : mainMenu2_)
        a->setVisible(false);

    pmVertGrid_ = new QMenu(vertGrid_);
    pmVertGrid_->setObjectName(QStringLiteral("pmVertGrid"));
    connect(item(pmVertGrid_, "Pm2_Exit", "1. 終了"), &QAction::triggered, this,
            &SingleRowEditor::Btn_VertGridEndClick);
    QMenu* convert = pmVertGrid_->addMenu(utf8("2. 文字変換"));
    convert->menuAction()->setObjectName(QStringLiteral("pm2_StrConvert"));
    const char* const captions[] = {"1. 半角 → 全角", "2. 全角 → 半角",
                                    "3. 全角ひらがな → 全角カタカナ", "4. 全角カタカナ → 全角ひらがな"};
    for (std::size_t i = 0; i < std::size(kConversionItems); ++i) {
        const ConversionItem& kind = kConversionItems[i];
        const std::string name = "pm2_StrCvt" + std::string(kind.nameEnd);
        QAction* a = item(convert, name.c_str(), captions[i]);
        connect(a, &QAction::triggered, this,
                [this, a, conversion = kind.conversion] { pm2_StrCvtHanToZenClick(conversion, a); });
    }
}

void SingleRowEditor::connectGrid() {
    vertGrid_->setDrawCellHook(
        [this](QPainter& p, int col, int row, const QRect& rect, CellState state) {
            VertGridDrawCell(p, col, row, rect, state);
        });
    vertGrid_->setKeyHook([this](QKeyEvent* event) { return VertGridKeyDown(event); });
    connect(vertGrid_, &GridWidget::mousePressed, this, &SingleRowEditor::VertGridMouseDown);
    connect(vertGrid_, &GridWidget::mouseDoubleClicked, this, &SingleRowEditor::VertGridDblClick);
    connect(vertGrid_, &GridWidget::textTyped, this, [this] { Q_EMIT memoRequested(); });
    connect(vertGrid_, &GridWidget::keyReleased, this, [this](int key) {
        if (key == Qt::Key_Alt && std::exchange(altAlone_, false)) Q_EMIT memoRequested();
    });
}

void SingleRowEditor::setEditorShown(bool shown) {
    if (shown) {
        menu1Visible_.clear();
        for (QAction* a : mainMenu1_) {
            menu1Visible_.push_back(a->isVisible());
            a->setVisible(false);
        }
    } else {
        for (int i = 0; i < mainMenu1_.size() && i < menu1Visible_.size(); ++i)
            mainMenu1_[i]->setVisible(menu1Visible_[i]);
    }
    for (QAction* a : mainMenu2_)
        a->setVisible(shown);
    QWidget* base = window_.gridWidget()->parentWidget();
    for (const char* name : {"pnlTop", "pnlView"})
        if (QWidget* w = base->findChild<QWidget*>(utf8(name))) w->setVisible(!shown);
    window_.gridWidget()->setVisible(!shown);
    pnlVertTop_->setVisible(shown);
    vertGrid_->setVisible(shown);
}

void SingleRowEditor::Btn_VertGridClick() {
    if (open_) return;
    window_.editState().operationRange.clear();
    window_.editState().operationAxis = HeaderMode::Cells;
    const StringGrid& g = window_.Grid();
    pnlVertRowNo_->setTitle(QString::fromStdString(VertRowGroupCaption(g.rowCount())));
    Lab_VertRowNo_->clear();
    Cmb_VertKomKeta_->setCurrentIndex(window_.settings().cmbVertKomKeta);
    nameTitle_ = VertNameTitle(window_.controls().Cmb_KomRow->currentText().toStdString());
    VertGridLayout layout;
    layout.charWidth = gridCharWidth();
    layout.nameWidthItem = Cmb_VertKomKeta_->currentIndex();
    layout.contentWidth = contentWidth_;
    layout.defaultRowHeight = g.defaultRowHeight();
    vertGrid_->setGrid(nullptr);
    LayoutVertGrid(window_.VertGrid(), g, layout, nameTitle_);
    vertGrid_->setGrid(&window_.VertGrid());
    open_ = true;
    shownRow_ = -1;
    const GridWidget* grid = window_.gridWidget();
    const int row = std::max(grid->currentRow(), 1);
    const int line = std::max(grid->currentCol() - 1, 1);
    // Shown first, so that the cursor line is scrolled into a view of its
    // real size.
    setEditorShown(true);
    showRow(row, line);
    vertGrid_->setFocus();
    window_.RefreshCaption();
}

void SingleRowEditor::dropRowEdits() {
    session_.history.dropRowEdits();
    session_.host.historyChanged();
}

void SingleRowEditor::writeBack() {
    if (shownRow_ > 0) WriteBackVertRow(session_, window_.VertGrid(), shownRow_);
}

void SingleRowEditor::showRow(int row, int line) {
    if (!open_) return;
    const StringGrid& g = window_.Grid();
    if (row < 1 || row >= g.rowCount()) return;
    dropRowEdits();
    writeBack();
    undoHighlight_ = false;
    shownRow_ = row;
    const RowNumbering numbering = window_.rowNumbering();
    Lab_VertRowNo_->setText(QString::fromStdString(
        VertRowLabel(row, numbering.fromFixedRows ? 0 : numbering.headerRows)));
    const int nameRow = window_.controls().Cmb_KomRow->currentIndex();
    FillVertGrid(window_.VertGrid(), g, row, nameRow, nameTitle_);
    const int lines = window_.VertGrid().rowCount() - 1;
    if (lines >= 1) vertGrid_->setCurrentCell(kVertContentCol, std::clamp(line, 1, lines));
    vertGrid_->viewport()->update();
}

void SingleRowEditor::Btn_VertGridEndClick() {
    if (!open_) return;
    writeBack();
    contentWidth_ = window_.VertGrid().colWidth(kVertContentCol);
    open_ = false;
    setEditorShown(false);
    GridWidget* grid = window_.gridWidget();
    const StringGrid& g = window_.Grid();
    const int col = std::max(vertGrid_->currentRow() + 1, kFirstDataCol);
    const int row = std::max(shownRow_, g.fixedRows());
    grid->setCurrentCell(std::min(col, g.colCount() - 1), std::min(row, g.rowCount() - 1));
    grid->ensureVisible(grid->currentCol(), grid->currentRow());
    window_.editState().forgetClick();
    grid->viewport()->update();
    grid->setFocus();
    window_.RefreshCaption();
    dropRowEdits();
    shownRow_ = -1;
}

// The bar's arrows step through the rows; row 1 (the name row, even when it
// is fixed) can be reached.
void SingleRowEditor::scbVertRowNoScroll(int action) {
    const int line = vertGrid_->currentRow();
    if (action == QAbstractSlider::SliderSingleStepSub && shownRow_ > 1)
        showRow(shownRow_ - 1, line);
    else if (action == QAbstractSlider::SliderSingleStepAdd &&
             shownRow_ < window_.Grid().rowCount() - 1)
        showRow(shownRow_ + 1, line);
    scbVertRowNo_->setSliderPosition(1);
    vertGrid_->setFocus();
}

void SingleRowEditor::Cmb_VertKomKetaClick() {
    const int index = Cmb_VertKomKeta_->currentIndex();
    window_.VertGrid().setColWidth(1, static_cast<int>(index * gridCharWidth()));
    window_.settings().cmbVertKomKeta = index;
    vertGrid_->setFocus();
}

void SingleRowEditor::removeUndoHighlight() {
    if (!std::exchange(undoHighlight_, false)) return;
    vertGrid_->viewport()->update();
}

void SingleRowEditor::VertGridMouseDown(const GridMouse& mouse) {
    removeUndoHighlight();
    altAlone_ = false;
    if (mouse.button == Qt::RightButton)
        pmVertGrid_->popup(vertGrid_->viewport()->mapToGlobal(mouse.pos));
}

void SingleRowEditor::VertGridDblClick() {
    if (vertGrid_->currentRow() >= 1) Q_EMIT memoRequested();
}

bool SingleRowEditor::VertGridKeyDown(QKeyEvent* event) {
    removeUndoHighlight();
    const int key = event->key();
    altAlone_ = key == Qt::Key_Alt && !event->isAutoRepeat();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Muhenkan ||
        key == Qt::Key_Hiragana_Katakana) {
        Q_EMIT memoRequested();
        return true;
    }
    return false;
}

void SingleRowEditor::commitMemo(int line, std::string_view memoText) {
    if (CommitVertEdit(session_, window_.VertGrid(), line, memoText))
        vertGrid_->viewport()->update();
}

void SingleRowEditor::advanceAfterMemo() {
    const int line = vertGrid_->currentRow();
    if (line < window_.VertGrid().rowCount() - 1)
        vertGrid_->setCurrentCell(kVertContentCol, line + 1);
}

void SingleRowEditor::Mn2_UndoClick() {
    const int line = UndoVertEdit(session_, window_.VertGrid());
    if (line < 0) return;
    vertGrid_->setCurrentCell(kVertContentCol, line);
    vertGrid_->ensureVisible(kVertContentCol, line);
    undoHighlight_ = true;
    vertGrid_->viewport()->update();
    vertGrid_->setFocus();
}

void SingleRowEditor::updateUndoItem(const std::string& caption, bool enabled) {
    Mn2_Undo_->setText(QString::fromStdString(caption));
    Mn2_Undo_->setEnabled(enabled && isCommandBuilt(Mn2_Undo_->objectName()));
}

void SingleRowEditor::pm2_StrCvtHanToZenClick(Conversion conversion, const QAction* action) {
    const std::string label = ConversionLabel(action->text().toStdString());
    if (!session_.dialogs.question("カーソル位置のセルの文字変換を行います。\r\n\r\n      【 " + label +
                                   " 】"))
        return;
    StringGrid& vert = window_.VertGrid();
    const int line = vertGrid_->currentRow();
    if (line < 1) return;
    const std::string converted = Convert(conversion, vert.cell(kVertContentCol, line));
    if (converted != vert.cell(kVertContentCol, line)) {
        session_.history.recordCell(HistKind::RowEdit, kVertContentCol, line, vert,
                                    session_.host.modified());
        vert.setCell(kVertContentCol, line, converted);
        session_.host.setModified(true);
        session_.host.historyChanged();
    }
    vertGrid_->viewport()->update();
    vertGrid_->setFocus();
}

// Fixed cells in the grid's fixed colour with white text, titles and column
// numbers centred, names after one blank; the current content line navy, or
// black while an undo has just put it back.
void SingleRowEditor::VertGridDrawCell(QPainter& painter, int col, int row, const QRect& rect,
                                       CellState state) {
    const StringGrid& vert = window_.VertGrid();
    const QString text = GridWidget::displayLine(TrimBlanks(vert.cell(col, row)));
    if (state.fixed) {
        const QColor fill = vertGrid_->fixedColor();
        painter.fillRect(rect, fill);
        if (col == 1 && row >= 1)
            vertGrid_->drawCellText(painter, rect, QStringLiteral(" ") + text, Qt::white, fill);
        else
            vertGrid_->drawCellText(painter, rect, text, Qt::white, fill, Qt::AlignHCenter);
        vertGrid_->drawCellBorder(painter, rect, true);
        return;
    }
    if (state.current) {
        const QColor fill = undoHighlight_ ? QColor(Qt::black) : kNavy;
        painter.fillRect(rect, fill);
        vertGrid_->drawCellText(painter, rect, GridWidget::displayLine(vert.cell(col, row)),
                                Qt::white, fill);
        vertGrid_->drawCellBorder(painter, rect, false);
        return;
    }
    vertGrid_->drawDefaultCell(painter, col, row, rect, state);
}

} // namespace tabulix
