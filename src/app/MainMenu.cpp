#include "app/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tabulix {

namespace {

enum Flags { Plain = 0, Hidden = 1, Checkable = 2, SeparatorBefore = 4 };

struct ItemDef {
    const char* name;
    const char* caption;
    int flags;
};

struct MenuDef {
    const char* name;
    const char* caption;
    bool hidden;
    std::initializer_list<ItemDef> items;
};

const MenuDef kMenus[] = {
    {"Mn_File",
     "File(&F)",
     false,
     {{"Mn_FileOpen", "1. Csv ファイルを開く (&O)", Plain},
      {"Mn_ExcelOpen", "x. Excel ファイルを開く (&E)", Hidden},
      {"Mn_BardOpen", "2. クリップボードを開く (&C)", Plain},
      {"Mn_FileSave", "3. Csv ファイルとして保存する (&S)", Plain},
      {"Mn_InitClear", "5. 内容を初期化する (&I)", SeparatorBefore},
      {"Mn_Exit", "6. 終了 (&X)", SeparatorBefore}}},
    {"Mn_Option", "Option(&O)", true, {{"Mn_RecEtc", "1. 動作環境の定義を行う (&D)", Plain}}},
    {"Mn_Edit", "Edit(&E)", false, {{"Mn_Undo", "元に戻す", Plain}}},
    {"Mn_Print",
     "Print(&P)",
     false,
     {{"Mn_GridPrint", "1. 全データを印刷する", Plain},
      {"Mn_MarkPrint", "2. マーキングデータを印刷する", Plain},
      {"Mn_MarkSave", "3. マーキングデータをＣＳＶで保存する", Plain},
      {"Mn_OutputCsv", "x. 表示内容を ＣＳＶ で出力する (&C)", Hidden}}},
    {"Mn_View",
     "View(&V)",
     false,
     {{"Mn_FixedCenter", "1. 固定欄のセンタリング表示", Checkable},
      {"Mn_DataCenter", "2. 通常欄のセンタリング表示", Checkable},
      {"Mn_TrimSpace", "3. 前後の空白を除いて表示", Checkable},
      {"Mn_DateEdit", "4. 日付編集表示 - 6, 8 桁の数字", Checkable},
      {"Mn_BreakColor", "5. 前行と変化したらセルの色を変える", Checkable | SeparatorBefore},
      {"Mn_KaraGyoColor", "6. 空行は色を変える (Light)", Checkable},
      {"Mn_KaraGyoBlack", "7. 空行は色を変える (Dark)", Checkable},
      {"Mn_FixedRowSEQ", "8. 固定行から付番する", Checkable | SeparatorBefore}}},
    {"Mn_Confirm",
     "Confirm(C)",
     false,
     {{"Mn_ConfPaste", "1. 【 貼り付け     】 時に確認を行う", Checkable},
      {"Mn_ConfClear", "2. 【 範囲クリアー 】 時に確認を行う", Checkable},
      {"Mn_ConfInsert", "3. 複数行，列の 【 挿入 】 時に確認を行う", Checkable | SeparatorBefore},
      {"Mn_ConfCopy", "4. 複数行，列の 【 複写 】 時に確認を行う", Checkable},
      {"Mn_ConfMove", "5. 複数行，列の 【 移動 】 時に確認を行う", Checkable},
      {"Mn_ConfDelete", "6. 行，列の 【 削除 】 時に確認を行う", Checkable}}},
    {"Mn_Help",
     "Help(&H)",
     false,
     {{"Mn_Help_Begin", "2. Tabulix 始めに ", Plain},
      {"Mn_Help_Guide1", "3. Tabulix ガイド１ （ベースウィンドウ) ", Plain},
      {"Mn_Help_Guide2", "4. Tabulix ガイド２ （印刷プレビューウィンドウ) ", Plain},
      {"Mn_Help_Guide3", "5. Tabulix ガイド３ （検索＆列と行の並べ替えウィンドウ) ", Plain},
      {"Mn_Help_ColName", "6. Tabulix 列名(固定行)の入力方法", Plain},
      {"Mn_Help_History", "7. Tabulix 改版履歴", Plain}}},
};

QAction* addItem(QMenu* menu, const ItemDef& def) {
    if (def.flags & SeparatorBefore) menu->addSeparator();
    QAction* action = menu->addAction(QString::fromUtf8(def.caption));
    action->setObjectName(QString::fromUtf8(def.name));
    action->setCheckable(def.flags & Checkable);
    action->setVisible(!(def.flags & Hidden));
    return action;
}

// The hidden grid-colour submenu of the View menu: its two items are a radio
// pair.
void addGridColourMenu(QMenu* view) {
    QMenu* sub = view->addMenu(QStringLiteral("x. グリッドの背景色"));
    sub->setObjectName(QStringLiteral("Mn_GridColor"));
    sub->menuAction()->setObjectName(QStringLiteral("Mn_GridColor"));
    sub->menuAction()->setVisible(false);
    auto* group = new QActionGroup(sub);
    for (const ItemDef& def : {ItemDef{"Mn_GridSilver", "1. グレー", Checkable},
                               ItemDef{"Mn_GridWhite", "2. 白色", Checkable}})
        group->addAction(addItem(sub, def));
    sub->findChild<QAction*>(QStringLiteral("Mn_GridSilver"))->setChecked(true);
}

} // namespace

void buildMainMenu(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuDef& def : kMenus) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(def.caption));
        menu->setObjectName(QString::fromUtf8(def.name));
        menu->menuAction()->setVisible(!def.hidden);
        for (const ItemDef& item : def.items)
            addItem(menu, item);
        if (std::string_view(def.name) == "Mn_View") addGridColourMenu(menu);
    }
}

} // namespace tabulix
