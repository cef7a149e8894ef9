#include "app/ToolPanels.h"

#include "csv/Separators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tabulix {

namespace {

// Lays its widgets out in rows, as words on a page: a widget that does not
// fit beside the one before starts a new row, so every control keeps its
// whole size on a narrow window and the panel grows instead. Widgets are
// centred in their row's height; a widget that expands horizontally fills
// the rest of its row.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent) : QLayout(parent) {}
    ~FlowLayout() override {
        while (QLayoutItem* item = takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem* item) override { items_.append(item); }
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override {
        return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        arrange(rect, true);
    }
    // All in one row.
    QSize sizeHint() const override {
        int width = 0, height = 0;
        for (const QLayoutItem* item : items_) {
            if (item->isEmpty()) continue;
            width += (width > 0 ? spacing() : 0) + itemWidth(item);
            height = std::max(height, item->sizeHint().height());
        }
        const QMargins m = contentsMargins();
        return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
    }
    // One widget a row.
    QSize minimumSize() const override {
        int width = 0;
        for (const QLayoutItem* item : items_)
            if (!item->isEmpty()) width = std::max(width, itemWidth(item));
        const QMargins m = contentsMargins();
        return QSize(width + m.left() + m.right(), heightForWidth(width + m.left() + m.right()));
    }

private:
    static bool stretches(const QLayoutItem* item) {
        return item->widget() &&
               (item->widget()->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag);
    }
    static int itemWidth(const QLayoutItem* item) {
        return stretches(item) ? item->minimumSize().width() : item->sizeHint().width();
    }

    // Places the items (when `apply`) and returns the height they take.
    int arrange(const QRect& rect, bool apply) const {
        const QRect area = rect.marginsRemoved(contentsMargins());
        QList<QList<QLayoutItem*>> rows;
        int x = area.left();
        for (QLayoutItem* item : items_) {
            if (item->isEmpty()) continue;
            const int width = itemWidth(item);
            if (rows.isEmpty() || (x > area.left() && x + width > area.right() + 1)) {
                rows.append(QList<QLayoutItem*>());
                x = area.left();
            }
            rows.last().append(item);
            x += width + spacing();
        }
        int y = area.top();
        for (const QList<QLayoutItem*>& row : rows) {
            int height = 0;
            for (const QLayoutItem* item : row)
                height = std::max(height, item->sizeHint().height());
            x = area.left();
            for (QLayoutItem* item : row) {
                int width = itemWidth(item);
                if (item == row.last() && stretches(item))
                    width = std::max(width, area.right() + 1 - x);
                const int itemHeight = std::min(height, item->sizeHint().height());
                if (apply)
                    item->setGeometry(QRect(x, y + (height - itemHeight) / 2, width, itemHeight));
                x += width + spacing();
            }
            y += height + spacing();
        }
        const int used = rows.isEmpty() ? 0 : y - spacing() - area.top();
        return used + contentsMargins().top() + contentsMargins().bottom();
    }

    QList<QLayoutItem*> items_;
};

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(utf8(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = named(new QPushButton(utf8(caption), parent), name);
    b->setFocusPolicy(Qt::NoFocus);
    // As narrow as the caption allows (in bold too: the save button turns
    // bold), so the panel keeps to few rows.
    QFont bold = b->font();
    bold.setBold(true);
    b->setFixedWidth(QFontMetrics(bold).horizontalAdvance(b->text()) + 16);
    return b;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = named(new QComboBox(parent), name);
    c->addItems(items);
    c->setFocusPolicy(Qt::NoFocus);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    c->setMinimumContentsLength(4);
    c->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return c;
}

// " n<suffix>" for n in [from, to] stepping by `step`.
QStringList numbered(int from, int to, int step, const char* suffix) {
    QStringList items;
    for (int n = from; n <= to; n += step)
        items << QStringLiteral(" ") + QString::number(n) + utf8(suffix);
    return items;
}

QStringList withNone(const char* none, const QStringList& rest) {
    return QStringList{utf8(none)} + rest;
}

QGroupBox* group(QWidget* parent, const char* caption, std::initializer_list<QWidget*> widgets) {
    auto* box = new QGroupBox(utf8(caption), parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return box;
}

QStringList separatorItems() {
    QStringList items;
    for (const SeparatorEntry& entry : separatorTable())
        items << QString::fromStdString(separatorItemText(entry));
    return items;
}

void addFileButtons(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Btn_OpenCsv = button(panel, "Btn_OpenCsv", "Csv");
    c.Btn_OpenBoard = button(panel, "Btn_OpenBoard", "Clipboard");
    c.Btn_Excel = button(panel, "Btn_Excel", "Excel");
    c.Btn_Save = button(panel, "Btn_Save", "保存");
    c.Btn_Save->setEnabled(false);
    c.Btn_VertGrid = button(panel, "Btn_VertGrid", "編集");
    c.Btn_Select = button(panel, "Btn_Select", "検索");
    c.Btn_Sort = button(panel, "Btn_Sort", "並び替え");
    c.Btn_ViewCol = button(panel, "Btn_ViewCol", "抑制");
    for (QWidget* b : {c.Btn_OpenCsv, c.Btn_OpenBoard, c.Btn_Excel, c.Btn_Save})
        row->addWidget(b);
    for (QWidget* b : {c.Btn_VertGrid, c.Btn_Select, c.Btn_Sort, c.Btn_ViewCol})
        row->addWidget(b);
}

void addCounters(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Lab_Records = named(new QLabel(panel), "Lab_Records");
    c.Lab_Fields = named(new QLabel(panel), "Lab_Fields");
    for (QLabel* l : {c.Lab_Records, c.Lab_Fields}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMinimumWidth(64);
        l->setFrameShape(QFrame::StyledPanel);
    }
    // The two counters wrap as one, so neither stands alone on a row.
    auto* counters = new QWidget(panel);
    auto* pair = new QHBoxLayout(counters);
    pair->setContentsMargins(0, 0, 0, 0);
    pair->setSpacing(3);
    pair->addWidget(group(counters, "行数", {c.Lab_Records}));
    pair->addWidget(group(counters, "列数", {c.Lab_Fields}));
    row->addWidget(counters);
}

} // namespace

QWidget* buildTopPanel(QWidget* parent, ToolControls& c) {
    auto* panel = named(new QWidget(parent), "pnlTop");
    auto* row = new FlowLayout(panel);
    row->setContentsMargins(4, 4, 4, 2);
    row->setSpacing(3);
    addFileButtons(panel, row, c);
    c.Cmb_Bunri = combo(panel, "Cmb_Bunri", separatorItems());
    row->addWidget(group(panel, "分離符号", {c.Cmb_Bunri}));
    c.Cmb_Moji = combo(panel, "Cmb_Moji",
                       {QStringLiteral(" 自動判定"), QStringLiteral(" Shift_JIS"),
                        QStringLiteral(" UTF-8"), QStringLiteral(" UTF-8 (BOM付)"),
                        QStringLiteral(" UTF-16 (BOM付)")});
    c.Cmb_Moji->setMinimumContentsLength(9);
    c.Lab_Moji = named(new QLabel(panel), "Lab_Moji");
    c.Lab_Moji->setToolTip(QStringLiteral("表の文字コード"));
    row->addWidget(group(panel, "文字コード", {c.Cmb_Moji, c.Lab_Moji}));
    addCounters(panel, row, c);
    c.pnlMsg = named(new QLabel(panel), "pnlMsg");
    // The rest of its row; a long message is cut rather than taking a row.
    c.pnlMsg->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    c.pnlMsg->setMinimumWidth(24);
    row->addWidget(c.pnlMsg);
    c.Cmb_Kijyun = named(new QComboBox(panel), "Cmb_Kijyun");
    c.Cmb_Kijyun->setFixedHeight(kReferenceComboHeight);
    c.Cmb_Kijyun->hide();
    return panel;
}

namespace {

void addColumnGroups(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Cmb_FixedCol = combo(panel, "Cmb_FixedCol", {QStringLiteral(" 無し")});
    // Its items are the table's column names, of any length: a fixed width
    // keeps the panel in place (the open list still shows them whole).
    c.Cmb_FixedCol->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c.Cmb_FixedCol->setMinimumContentsLength(4);
    c.Cmb_FixedKeta = combo(panel, "Cmb_FixedKeta", numbered(0, 99, 1, " 桁"));
    c.Cmb_FixedRows = combo(panel, "Cmb_FixedRows", withNone(" 無し", numbered(1, 10, 1, " 行")));
    c.Cmb_KomRow = combo(panel, "Cmb_KomRow", withNone(" 無し", numbered(1, 10, 1, " 行目")));
    row->addWidget(group(panel, "固定列", {c.Cmb_FixedCol}));
    row->addWidget(group(panel, "固定列幅", {c.Cmb_FixedKeta}));
    row->addWidget(group(panel, "固定行数", {c.Cmb_FixedRows}));
    row->addWidget(group(panel, "列名行", {c.Cmb_KomRow}));
}

void addWidthGroup(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Cmb_LimColLen = combo(panel, "Cmb_LimColLen", numbered(4, 80, 2, " 桁"));
    c.Cmb_Fold = combo(panel, "Cmb_Fold",
                       QStringList{QStringLiteral(" 自動"), QStringLiteral(" 無し")} +
                           numbered(2, 30, 1, " 行"));
    c.Btn_ReFold = named(new QToolButton(panel), "Btn_ReFold");
    c.Btn_ReFold->setText(QStringLiteral("⇔"));
    c.Btn_ReFold->setToolTip(QStringLiteral("現在の折り返し行数で再表示します。"));
    c.Btn_ReFold->setFocusPolicy(Qt::NoFocus);
    row->addWidget(
        group(panel, " 列表示  最大列幅   折り返し", {c.Cmb_LimColLen, c.Cmb_Fold, c.Btn_ReFold}));
}

void addCursorGroups(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Cmb_CrNext = combo(panel, "Cmb_CrNext",
                         {QStringLiteral(" 無し"), QStringLiteral(" 上へ"), QStringLiteral(" 下へ"),
                          QStringLiteral(" 左へ"), QStringLiteral(" 右へ")});
    row->addWidget(group(panel, "ｶｰｿﾙ 移動", {c.Cmb_CrNext}));
    c.scbMinVert = named(new QScrollBar(Qt::Vertical, panel), "scbMinVert");
    c.scbMinHorz = named(new QScrollBar(Qt::Horizontal, panel), "scbMinHorz");
    c.scbMinVert->setFixedSize(16, 30);
    c.scbMinHorz->setFixedSize(40, 16);
    for (QScrollBar* s : {c.scbMinVert, c.scbMinHorz}) {
        s->setRange(-1, 1);
        s->setFocusPolicy(Qt::NoFocus);
    }
    row->addWidget(group(panel, "", {c.scbMinVert, c.scbMinHorz}));
}

void addMouseGroup(QWidget* panel, QLayout* row, ToolControls& c) {
    c.Chk_MoveRow = named(new QCheckBox(QStringLiteral("行移動"), panel), "Chk_MoveRow");
    c.Chk_MoveCol = named(new QCheckBox(QStringLiteral("列移動"), panel), "Chk_MoveCol");
    c.Chk_RowSize = named(new QCheckBox(QStringLiteral("行高"), panel), "Chk_RowSize");
    for (QCheckBox* b : {c.Chk_MoveRow, c.Chk_MoveCol, c.Chk_RowSize})
        b->setFocusPolicy(Qt::NoFocus);
    row->addWidget(group(panel, "マウスによる許可", {c.Chk_MoveRow, c.Chk_MoveCol, c.Chk_RowSize}));
}

} // namespace

QWidget* buildViewPanel(QWidget* parent, ToolControls& c) {
    auto* panel = named(new QWidget(parent), "pnlView");
    auto* row = new FlowLayout(panel);
    row->setContentsMargins(4, 2, 4, 4);
    row->setSpacing(3);
    addColumnGroups(panel, row, c);
    addWidthGroup(panel, row, c);
    addCursorGroups(panel, row, c);
    addMouseGroup(panel, row, c);
    return panel;
}

} // namespace tabulix
