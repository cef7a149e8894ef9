#include "app/PopupMenus.h"

#include <QAction>
#include <QMenu>

#include <initializer_list>

namespace tabulix {

namespace {

struct Item {
    const char* name;
    const char* caption;
    std::initializer_list<Item> sub = {};
};

void addItems(QMenu* menu, std::initializer_list<Item> items) {
    for (const Item& item : items) {
        if (item.sub.size() == 0) {
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromUtf8(item.name));
            continue;
        }
        QMenu* sub = menu->addMenu(QString::fromUtf8(item.caption));
        sub->setObjectName(QString::fromUtf8(item.name));
        sub->menuAction()->setObjectName(QString::fromUtf8(item.name));
        addItems(sub, item.sub);
    }
}

QMenu* makeMenu(QWidget* parent, const char* name, const char* title,
                std::initializer_list<Item> items) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromUtf8(name));
    if (title) {
        QAction* heading = menu->addAction(QString::fromUtf8(title));
        heading->setEnabled(false);
        menu->addSeparator();
    }
    addItems(menu, items);
    return menu;
}

} // namespace

PopupMenus buildPopupMenus(QWidget* parent) {
    PopupMenus m;
    m.pmGrid = makeMenu(parent, "pmGrid", nullptr,
                        {{"Pm_RangeClip", "1. クリップ"},
                         {"Pm_RangeClipPaste", "2. 貼り付け"},
                         {"Pm_RangeClipClr", "3. クリップ 解除"},
                         {"Pm_RangeClear", "4. クリアー"},
                         {"Pm_StrConvert",
                          "5. 文字変換",
                          {{"Pm_StrCvtHanToZen", "1. 半角 → 全角"},
                           {"Pm_StrCvtZenToHan", "2. 全角 → 半角  "},
                           {"Pm_StrCvtHiraToKata", "3. 全角ひらがな → 全角カタカナ"},
                           {"Pm_StrCvtKataToHira", "4. 全角カタカナ → 全角ひらがな"}}},
                         {"Pm_RangeRowInsert2", "6. 行 挿入"},
                         {"Pm_RangeRowCopy2", "7. 行 複写"},
                         {"Pm_RangeRowDelete2", "8. 行 削除"},
                         {"Pm_RangePrint",
                          "9. 印刷",
                          {{"Pm_RangePrintCell", "1. セル"},
                           {"Pm_RangePrintRow", "2. 行"},
                           {"Pm_RangePrintCol", "3. 列"}}},
                         {"Pm_DispVertGrid", "10. 単行編集"}});
    m.pmFixedRow =
        makeMenu(parent, "pmFixedRow", "< 行 処理 >",
                 {{"Pm_RowClipGroup",
                   "1. ｸﾘｯﾌﾟ",
                   {{"Pm_RowClip", "1. ｸﾘｯﾌﾟ"},
                    {"Pm_RowClipPaste", "2. 貼り付け"},
                    {"Pm_RowClipMove", "3. 移動"},
                    {"Pm_RowClipCopy", "4. 複写"},
                    {"Pm_RowClipClr", "5. 解除"}}},
                  {"Pm_RowInsert", "2. 挿入"},
                  {"Pm_RowCopy", "3. 複写"},
                  {"Pm_RowDelete", "4. 削除"},
                  {"Pm_RowImport",
                   "5. インポート",
                   {{"Pm_RowInsertFile", "1. File"}, {"Pm_RowInsertBoard", "2. Clip.Board"}}},
                  {"Pm_RowPrint", "6. 印刷"},
                  {"Pm_RowMark",
                   "7. マーキング",
                   {{"Pm_RowMarkSet", "1. 設定"},
                    {"Pm_RowMarkClear", "2. 解除"},
                    {"Pm_RowMarkClearAll", "3. 全て解除"},
                    {"Pm_RowMarkPrint", "4. 印刷"},
                    {"Pm_RowMarkSave", "5. 保存"}}},
                  {"Pm_RowMin", "8. 範囲開始"}});
    m.pmFixedCol = makeMenu(parent, "pmFixedCol", "< 列 処理 >",
                            {{"Pm_ColClipGroup",
                              "1. ｸﾘｯﾌﾟ",
                              {{"Pm_ColClip", "1. ｸﾘｯﾌﾟ"},
                               {"Pm_ColClipPaste", "2. 貼り付け"},
                               {"Pm_ColClipMove", "3. 移動"},
                               {"Pm_ColClipCopy", "4. 複写"},
                               {"Pm_ColClipClr", "5. 解除"}}},
                             {"Pm_ColInsert", "2. 挿入"},
                             {"Pm_ColCopy", "3. 複写"},
                             {"Pm_ColDelete", "4. 削除"},
                             {"Pm_ColView",
                              "5. 列表示",
                              {{"Pm_ColViewON", "1. 抑制する"}, {"Pm_ColViewOFF", "2. 表示する"}}},
                             {"Pm_ColPrint", "6. 印刷"},
                             {"Pm_ColMark",
                              "7. マーキング",
                              {{"Pm_ColMarkSet", "1. 設定"},
                               {"Pm_ColMarkClear", "2. 解除"},
                               {"Pm_ColMarkClearAll", "3. 全て解除"},
                               {"Pm_ColMarkPrint", "4. 印刷"},
                               {"Pm_ColMarkSave", "5. 保存"}}},
                             {"Pm_ColMin", "8. 範囲開始"}});
    return m;
}

} // namespace tabulix
