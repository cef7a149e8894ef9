#pragma once

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;
class QWidget;

namespace tabulix {

// The controls of the main window's two tool panels, named as the program
// names them (object names too, so tests find them).
struct ToolControls {
    QPushButton* Btn_OpenCsv = nullptr;
    QPushButton* Btn_OpenBoard = nullptr;
    QPushButton* Btn_Excel = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_VertGrid = nullptr;
    QPushButton* Btn_Select = nullptr;
    QPushButton* Btn_Sort = nullptr;
    QPushButton* Btn_ViewCol = nullptr;
    QComboBox* Cmb_Bunri = nullptr;
    // Text encoding for reading and saving; the table's own is shown in
    // Lab_Moji.
    QComboBox* Cmb_Moji = nullptr;
    QLabel* Lab_Moji = nullptr;
    QLabel* Lab_Records = nullptr;
    QLabel* Lab_Fields = nullptr;
    QLabel* pnlMsg = nullptr;

    QComboBox* Cmb_FixedCol = nullptr;
    QComboBox* Cmb_FixedKeta = nullptr;
    QComboBox* Cmb_FixedRows = nullptr;
    QComboBox* Cmb_KomRow = nullptr;
    QComboBox* Cmb_LimColLen = nullptr;
    QComboBox* Cmb_Fold = nullptr;
    QToolButton* Btn_ReFold = nullptr;
    QComboBox* Cmb_CrNext = nullptr;
    QScrollBar* scbMinVert = nullptr;
    QScrollBar* scbMinHorz = nullptr;
    QCheckBox* Chk_MoveRow = nullptr;
    QCheckBox* Chk_MoveCol = nullptr;
    QCheckBox* Chk_RowSize = nullptr;
    // Never shown: its height is the grid's default row height and the unit
    // of the window margins.
    QComboBox* Cmb_Kijyun = nullptr;
};

inline constexpr int kReferenceComboHeight = 21;

// Builds the top panel (file buttons, separator, counters) into `parent`.
QWidget* buildTopPanel(QWidget* parent, ToolControls& controls);
// Builds the view-control panel into `parent`.
QWidget* buildViewPanel(QWidget* parent, ToolControls& controls);

} // namespace tabulix
