// The sort command of the sort window: questions, progress, stop, and the
// table owner's hooks around the row sort and the key-column move.
#include "sort/TFm_CsvFunc.h"

#include "sort/RowSort.h"
#include "sort/SortHost.h"
#include "table/Table.h"
#include "table/TableEvents.h"
#include "table/UserDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <exception>

namespace tabulix {

namespace {

const char* const kNoKeys = "【 並び替えキー項目 】 を選択して下さい。";
const char* const kNoOption = "【 Option 】 をチェックして下さい。";
const char* const kBoth = "選択されたキー項目により 【 列と行の並び替え 】 を行います。";
const char* const kRows = "選択されたキー項目により 【 行の並び替え 】を行います。";
const char* const kColumns = "選択されたキー項目により 【 列の並び替え 】 を行います。";
const char* const kSure = "\r\n\r\nよろしいですか？";
const char* const kDone = "並び替えを終了しました。";
const char* const kStopped = "並び替えを中断しました。";
constexpr qint64 kProgressPaintMs = 40;

// While a sort lets window messages through, only its stop button takes
// input: nothing else may change or close the table half way.
class InputGuard : public QObject {
public:
    explicit InputGuard(QWidget* stop) : stop_(stop) { qApp->installEventFilter(this); }
    ~InputGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::Close:
            return watched != stop_ && watched != stop_->window()->windowHandle();
        default:
            return false;
        }
    }

private:
    QWidget* stop_;
};

} // namespace

void TFm_CsvFunc::setStatus(const QString& text) {
    Lab_Msg_->setText(text);
    QPalette palette = Lab_Msg_->palette();
    palette.setColor(QPalette::WindowText,
                     running_ ? QColor(0xFF, 0xFF, 0x00) : QColor(0xC0, 0xC0, 0xC0));
    Lab_Msg_->setPalette(palette);
}

void TFm_CsvFunc::Btn_StopClick() {
    stopped_ = true;
}

void TFm_CsvFunc::Btn_SortClick() {
    UserDialogs& dialogs = host_->dialogs();
    if (LbxSortKey_->count() == 0) return dialogs.information(kNoKeys);
    const bool rows = Chk_RowSort_->isChecked();
    const bool columns = Chk_ColSort_->isChecked();
    if (!rows && !columns) return dialogs.information(kNoOption);
    const char* what = rows && columns ? kBoth : rows ? kRows : kColumns;
    if (!dialogs.confirm(std::string(what) + kSure)) return;

    forgetMainClick();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setRunning(true);
    bool finished = false;
    try {
        finished = runSort(rows, columns);
    } catch (const std::exception&) {
        finished = false; // the rows are rewritten only once everything is ready
    }
    setRunning(false);
    QApplication::restoreOverrideCursor();
    dialogs.information(finished ? kDone : kStopped);
}

void TFm_CsvFunc::setRunning(bool on) {
    running_ = on;
    stopped_ = false;
    Btn_Sort_->setVisible(!on);
    Btn_Stop_->setVisible(on);
    Btn_Stop_->setEnabled(on);
    const QList<QWidget*> controls{Btn_SortEnd_, LbxSelection_, LbxSortKey_, Chk_RowSort_,
                                   Chk_ColSort_};
    for (QWidget* w : controls)
        w->setEnabled(!on);
    PageCtl_->tabBar()->setEnabled(!on);
    host_->setSorting(on);
    setStatus(on ? QStringLiteral("  行の並び替え中です。") : QString());
}

bool TFm_CsvFunc::runSort(bool rows, bool columns) {
    Table& table = host_->table();
    const std::vector<int> keys = keyColumns();
    InputGuard guard(Btn_Stop_);
    const SortProgress progress = [this](std::string_view step, long long i, long long total) {
        return showProgress(step, i, total);
    };
    std::optional<std::vector<int>> order;
    if (rows) {
        order = SortedRowOrder(table.grid, keys, progress);
        if (!order) return false;
    }
    // A sort cannot be undone: the history goes when the table is rewritten.
    host_->tableEvents().historyCleared();
    if (order) ApplyRowOrder(table, *order);
    setStatus(QStringLiteral("  列の並び替え中です。"));
    if (columns) MoveKeyColumns(table, keys, progress);
    host_->sortFinished();
    host_->tableEvents().resultsStale(false);
    RebuildColumnLists();
    return true;
}

// Repaints at most every few hundredths of a second, and lets the stop button
// be pressed.
bool TFm_CsvFunc::showProgress(std::string_view step, long long i, long long total) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastProgressPaint_ >= kProgressPaintMs) {
        lastProgressPaint_ = now;
        setStatus(QStringLiteral("  ") +
                  QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size())) +
                  QStringLiteral("  ") + QString::number(i) + QStringLiteral(" / ") +
                  QString::number(total));
        Lab_Msg_->repaint();
        QApplication::processEvents();
    }
    return !stopped_;
}

} // namespace tabulix
