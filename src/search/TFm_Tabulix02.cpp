#include "search/TFm_Tabulix02.h"

#include "search/SearchWords.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"
#include "view/GridCellEditor.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace tabulix {

namespace {

const QColor kFormColour(0x5F, 0x5F, 0x5F);
const char* const kGuide = "　検索結果はダブルクリックでベースウィンドウ側と連動します。";
const char* const kNoNextHit = "後方に検索文字列はありません。";
const char* const kNoPriorHit = "前方に検索文字列はありません。";
constexpr int kProgressPaintMs = 40;

QString grouped(long long n) {
    return QString::fromStdString(FormatThousands(std::to_string(n)));
}

QPushButton* makeButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QGroupBox* makeGroup(const char* title, QWidget* parent) {
    auto* group = new QGroupBox(QString::fromUtf8(title), parent);
    group->setAutoFillBackground(true);
    return group;
}

void setFontColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The form colour around the base panel, painted rather than set in the
// palette so that the panels inside keep the ordinary colours.
class FormColourFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kFormColour); }
};

} // namespace

TFm_Tabulix02::TFm_Tabulix02(SearchSource source, QWidget* parent)
    : QMainWindow(parent, Qt::Window), source_(std::move(source)) {
    setObjectName(QStringLiteral("TFm_Tabulix02"));
    setWindowTitle(QStringLiteral("Tabulix 検索"));
    buildMenu();
    client_ = new FormColourFrame(this);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    pnlBase_ = new QFrame(client_);
    pnlBase_->setObjectName(QStringLiteral("pnlBase"));
    pnlBase_->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(pnlBase_);
    layout->setContentsMargins(4, 4, 4, 4);
    QWidget* top = buildTopPanel(pnlBase_);
    top->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(top);
    Lab_Guide_ = new QLabel(QString::fromUtf8(kGuide), pnlBase_);
    Lab_Guide_->setObjectName(QStringLiteral("Lab_Guide"));
    layout->addWidget(Lab_Guide_);
    Grid_ = new GridWidget(pnlBase_);
    Grid_->setObjectName(QStringLiteral("Grid"));
    Grid_->setGrid(&results_);
    Grid_->setDrawCellHook([this](QPainter& p, int col, int row, const QRect& rect,
                                  CellState state) { GridDrawCell(p, col, row, rect, state); });
    layout->addWidget(Grid_, 1);
    layout->addStretch(0); // takes the room while the results are hidden
    // What is typed into the results stays there (saved and printed with
    // them), never in the table.
    new GridCellEditor(Grid_);

    connectControls();
    SizeToScreen(this, 2.0 / 3.0, 1.0 / 2.0);
    Rdo_AND_->setChecked(true);
    Btn_Stop_->hide();
    Cmb_FindWord_->clear();
    Edt_Word_->clear();
    ResetResults(false);
    source_.events.subscribe(this);
}

TFm_Tabulix02::~TFm_Tabulix02() {
    source_.events.unsubscribe(this);
    Grid_->setGrid(nullptr);
}

QWidget* TFm_Tabulix02::buildTopPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    Btn_Exit_ = makeButton("Btn_Exit", "終了", panel);
    row->addWidget(Btn_Exit_);

    QGroupBox* mode = makeGroup("検索条件", panel);
    auto* modeRow = new QHBoxLayout(mode);
    Rdo_AND_ = new QRadioButton(QStringLiteral("AND"), mode);
    Rdo_AND_->setObjectName(QStringLiteral("Rdo_AND"));
    Rdo_OR_ = new QRadioButton(QStringLiteral("OR"), mode);
    Rdo_OR_->setObjectName(QStringLiteral("Rdo_OR"));
    modeRow->addWidget(Rdo_AND_);
    modeRow->addWidget(Rdo_OR_);
    row->addWidget(mode);

    wordGroup_ = buildWordGroup(panel);
    row->addWidget(wordGroup_, 1);

    // Btn_Stop lies exactly over Btn_Exec: both fill the one cell.
    auto* execCell = new QWidget(panel);
    auto* execLayout = new QGridLayout(execCell);
    execLayout->setContentsMargins(0, 0, 0, 0);
    Btn_Exec_ = makeButton("Btn_Exec", "検索実行", execCell);
    Btn_Stop_ = makeButton("Btn_Stop", "中断", execCell);
    QFont bold = Btn_Stop_->font();
    bold.setBold(true);
    Btn_Stop_->setFont(bold);
    execLayout->addWidget(Btn_Exec_, 0, 0);
    execLayout->addWidget(Btn_Stop_, 0, 0);
    row->addWidget(execCell);

    QGroupBox* records = makeGroup("検索行数", panel);
    auto* recordsRow = new QHBoxLayout(records);
    Lab_Records_ = new QLabel(records);
    Lab_Records_->setObjectName(QStringLiteral("Lab_Records"));
    Lab_Records_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lab_Records_->setMinimumWidth(90);
    recordsRow->addWidget(Lab_Records_);
    row->addWidget(records);

    // The row buttons are worked by the search like the others, but their
    // box is never shown.
    QGroupBox* rowBox = makeGroup("", panel);
    rowBox->setObjectName(QStringLiteral("pnlVertRowNo"));
    auto* rowBoxLayout = new QHBoxLayout(rowBox);
    Btn_RowPrior_ = makeButton("Btn_RowPrior", "前行", rowBox);
    Btn_RowNext_ = makeButton("Btn_RowNext", "次行", rowBox);
    rowBoxLayout->addWidget(Btn_RowPrior_);
    rowBoxLayout->addWidget(Btn_RowNext_);
    rowBox->hide();
    row->addWidget(rowBox);

    Btn_Prior_ = makeButton("Btn_Prior", "前", panel);
    Btn_Next_ = makeButton("Btn_Next", "次", panel);
    for (QPushButton* b : {Btn_Prior_, Btn_Next_}) {
        b->setFixedWidth(48);
        row->addWidget(b);
    }
    return panel;
}

// The history list lies under the word field, which leaves only its arrow
// uncovered; both are placed by hand in placeWordControls.
QGroupBox* TFm_Tabulix02::buildWordGroup(QWidget* parent) {
    QGroupBox* group = makeGroup("検索文字列", parent);
    group->setMinimumWidth(260);
    group->setMinimumHeight(Btn_Exit_->sizeHint().height() + 30);
    Btn_Clear_ = makeButton("Btn_Clear", "Clr", group);
    Cmb_FindWord_ = new QComboBox(group);
    Cmb_FindWord_->setObjectName(QStringLiteral("Cmb_FindWord"));
    Cmb_FindWord_->setMaxVisibleItems(16);
    Cmb_FindWord_->setFocusPolicy(Qt::NoFocus);
    Edt_Word_ = new QLineEdit(group);
    Edt_Word_->setObjectName(QStringLiteral("Edt_Word"));
    Edt_Word_->raise();
    group->installEventFilter(this);
    return group;
}

void TFm_Tabulix02::placeWordControls() {
    const QRect area = wordGroup_->contentsRect();
    const int height = Cmb_FindWord_->sizeHint().height();
    const int top = area.top() + std::max(0, (area.height() - height) / 2);
    const int clearWidth = 40;
    Btn_Clear_->setGeometry(area.left() + 6, top, clearWidth, height);
    const int left = area.left() + 6 + clearWidth + 6;
    const int width = std::max(40, wordGroup_->width() - left - 10);
    Cmb_FindWord_->setGeometry(left, top, width, height);
    Edt_Word_->setGeometry(left, top, width - 19, height);
}

void TFm_Tabulix02::connectControls() {
    connect(Btn_Exit_, &QPushButton::clicked, this, &TFm_Tabulix02::Mn_ExitClick);
    for (QRadioButton* r : {Rdo_AND_, Rdo_OR_})
        connect(r, &QRadioButton::clicked, this, [this] { Edt_Word_->setFocus(); });
    connect(Btn_Clear_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_ClearClick);
    connect(Edt_Word_, &QLineEdit::returnPressed, this, &TFm_Tabulix02::Btn_ExecClick);
    connect(Cmb_FindWord_, &QComboBox::activated, this, &TFm_Tabulix02::Cmb_FindWordClick);
    connect(Btn_Exec_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_ExecClick);
    connect(Btn_Stop_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_StopClick);
    connect(Btn_Prior_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_PriorClick);
    connect(Btn_Next_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_NextClick);
    connect(Btn_RowPrior_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_RowPriorClick);
    connect(Btn_RowNext_, &QPushButton::clicked, this, &TFm_Tabulix02::Btn_RowNextClick);
    connect(Grid_, &GridWidget::mouseDoubleClicked, this, &TFm_Tabulix02::GridDblClick);
}

bool TFm_Tabulix02::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == client_) InsetPanel(client_, pnlBase_, source_.margin);
        if (watched == wordGroup_) placeWordControls();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFm_Tabulix02::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (std::exchange(firstShow_, false)) ResetResults(true);
    Edt_Word_->setFocus();
}

// Closing only hides the window; a running search stops at its next check.
void TFm_Tabulix02::closeEvent(QCloseEvent* event) {
    searching_ = false;
    event->accept();
    if (source_.view && source_.view->isVisible()) source_.view->setFocus();
}

void TFm_Tabulix02::Mn_ExitClick() {
    close();
}

void TFm_Tabulix02::ResetResults(bool clearWord) {
    if (clearWord) Edt_Word_->clear();
    Lab_Records_->clear();
    setNavigationEnabled(false);
    Mn_Print_->setEnabled(false);
    Grid_->hide();
    ClearResults(results_, hits_);
    if (searching_) {
        searching_ = false;
        resetWhileSearching_ = true;
    }
}

void TFm_Tabulix02::setNavigationEnabled(bool on) {
    for (QPushButton* b : {Btn_Prior_, Btn_Next_, Btn_RowPrior_, Btn_RowNext_})
        b->setEnabled(on);
}

void TFm_Tabulix02::LoadFindHistory(std::span<const std::string> words) {
    history_.Load(words);
    showHistory();
}

void TFm_Tabulix02::StoreFindHistory(std::span<std::string> words) const {
    history_.Store(words);
}

void TFm_Tabulix02::showHistory() {
    Cmb_FindWord_->clear();
    for (const std::string& item : history_.items())
        Cmb_FindWord_->addItem(QString::fromStdString(item));
    Cmb_FindWord_->setCurrentIndex(-1);
}

void TFm_Tabulix02::Btn_ClearClick() {
    Edt_Word_->clear();
    Edt_Word_->setFocus();
}

void TFm_Tabulix02::Cmb_FindWordClick(int index) {
    if (index < 0 || index >= static_cast<int>(history_.items().size())) return;
    Edt_Word_->setText(QString::fromStdString(StripHistoryNumber(history_.items()[index])));
    Edt_Word_->setFocus();
}

// ---- the search ---------------------------------------------------------

void TFm_Tabulix02::Btn_ExecClick() {
    if (searching_) return; // Enter in the word field while a search runs
    const std::string text = Edt_Word_->text().toStdString();
    if (isVisible()) {
        history_.Add(text);
        showHistory();
        Edt_Word_->setFocus();
    }
    beginSearch();
    WordMatcher matcher(SplitSearchWords(text),
                        Rdo_OR_->isChecked() ? MatchMode::Or : MatchMode::And);
    LayoutResults(source_.grid, results_, hits_);
    const int found = RunSearch(source_.grid, results_, hits_, matcher,
                                [this](int row, int n) { return showProgress(row, n); });
    endSearch(found);
}

void TFm_Tabulix02::Btn_StopClick() {
    searching_ = false;
}

void TFm_Tabulix02::beginSearch() {
    searching_ = true;
    resetWhileSearching_ = false;
    lastProgressPaint_ = 0;
    Btn_Stop_->show();
    for (QWidget* w : {static_cast<QWidget*>(Btn_Exec_), static_cast<QWidget*>(Btn_Exit_)})
        w->setEnabled(false);
    setNavigationEnabled(false);
    Mn_Print_->setEnabled(false);
    Mn_FileSave_->setEnabled(false);
    Mn_FindHistoryClear_->setEnabled(false);
    savedGuide_ = Lab_Guide_->text();
    setFontColour(Lab_Guide_, Qt::blue);
    Lab_Records_->clear();
    Grid_->hide();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

// Every 500 rows: the progress, and the events that let 中断, closing the
// window or a change of the table stop the search. Painting is limited to a
// few times a second so that it does not slow a long search.
bool TFm_Tabulix02::showProgress(int row, int found) {
    Lab_Guide_->setText(QStringLiteral(" [ ") + grouped(row) + QStringLiteral(" / ") +
                        grouped(source_.grid.rowCount()) + QStringLiteral(" ]"));
    Lab_Records_->setText(grouped(found) + QStringLiteral(" "));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastProgressPaint_ >= kProgressPaintMs) {
        lastProgressPaint_ = now;
        Lab_Guide_->repaint();
        Lab_Records_->repaint();
        QCoreApplication::processEvents();
    }
    return searching_;
}

void TFm_Tabulix02::endSearch(int found) {
    QGuiApplication::restoreOverrideCursor();
    searching_ = false;
    Btn_Stop_->hide();
    Btn_Exec_->setEnabled(true);
    Btn_Exit_->setEnabled(true);
    Mn_FileSave_->setEnabled(true);
    Mn_FindHistoryClear_->setEnabled(true);
    Mn_Print_->setEnabled(static_cast<bool>(source_.print));
    Lab_Guide_->setText(savedGuide_);
    setFontColour(Lab_Guide_, Qt::black);
    // The table changed under the search: its rows are no results any more.
    if (std::exchange(resetWhileSearching_, false)) {
        ResetResults(false);
        return;
    }
    Grid_->setCurrentCellSilently(results_.fixedCols(), results_.fixedRows());
    Lab_Records_->setText(grouped(found) + QStringLiteral(" "));
    Grid_->show();
    Grid_->setFocus();
    if (found > 0) {
        setNavigationEnabled(true);
        nextFromRowStart_ = true;
        Btn_NextClick();
    }
    Edt_Word_->setFocus();
}

// ---- hits and the jump --------------------------------------------------

ResultCell TFm_Tabulix02::currentResult() const {
    return ResultCell{Grid_->currentCol(), Grid_->currentRow()};
}

void TFm_Tabulix02::selectResult(ResultCell cell) {
    Grid_->setCurrentCell(cell.col, cell.row);
    GridDblClick();
}

void TFm_Tabulix02::Btn_NextClick() {
    const bool fromRowStart = std::exchange(nextFromRowStart_, false);
    if (const auto hit = NextHit(hits_, currentResult(), fromRowStart))
        selectResult(*hit);
    else
        source_.dialogs.information(kNoNextHit);
}

void TFm_Tabulix02::Btn_PriorClick() {
    if (const auto hit = PriorHit(hits_, currentResult()))
        selectResult(*hit);
    else
        source_.dialogs.information(kNoPriorHit);
}

void TFm_Tabulix02::Btn_RowPriorClick() {
    const ResultCell at = currentResult();
    if (at.row > results_.fixedRows()) selectResult({at.col, at.row - 1});
}

void TFm_Tabulix02::Btn_RowNextClick() {
    const ResultCell at = currentResult();
    if (at.row >= results_.fixedRows() && at.row < results_.rowCount() - 1)
        selectResult({at.col, at.row + 1});
}

void TFm_Tabulix02::GridDblClick() {
    const auto target = JumpTargetOf(hits_, source_.grid, currentResult());
    GridWidget* view = source_.view;
    if (!target || !view) return;
    const int col = target->col.value_or(view->currentCol());
    view->setCurrentCell(col, target->row);
    view->setTopRow(target->topRow);
    if (target->col) view->setLeftCol(target->leftCol);
    if (source_.jumped) source_.jumped(col, target->row);
}

// ---- drawing ------------------------------------------------------------

void TFm_Tabulix02::GridDrawCell(QPainter& painter, int col, int row, const QRect& rect,
                                 CellState state) {
    const std::string_view text = results_.cell(col, row);
    if (state.fixed) {
        const QColor fill = Grid_->fixedColor();
        painter.fillRect(rect, fill);
        const QString shown = GridWidget::displayLine(TrimBlanks(text));
        if (col == 2 && row >= results_.fixedRows())
            Grid_->drawCellText(painter, rect, QStringLiteral(" ") + shown, Qt::white, fill);
        else
            Grid_->drawCellText(painter, rect, shown, Qt::white, fill, Qt::AlignHCenter);
        Grid_->drawCellBorder(painter, rect, false);
        DrawFrame(painter, rect.adjusted(0, 0, -1, -1), QColor(0xC0, 0xC0, 0xC0),
                  palette().color(QPalette::Dark));
        return;
    }
    const bool highlight = state.current || state.selected;
    const bool hit = !TrimBlanks(hits_.cell(col, row)).empty();
    const QColor fill = highlight ? QColor(0x00, 0x00, 0x80) : Grid_->backgroundColor();
    const QColor ink = hit ? (highlight ? QColor(0x9F, 0xCF, 0xFF) : QColor(Qt::blue))
                           : (highlight ? QColor(Qt::white) : QColor(Qt::black));
    painter.fillRect(rect, fill);
    Grid_->drawCellText(painter, rect, GridWidget::displayLine(text), ink, fill);
    Grid_->drawCellBorder(painter, rect, false);
}

} // namespace tabulix
