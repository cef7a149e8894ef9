#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabulix {

class TFm_Tabulix01;
class TFm_Browse;
struct OutputRange;

// "表示内容をＣＳＶ形式で出力します。": writes a range of the table's records
// to a CSV file and shows a short result in the document browser.
class TFm_CsvFixed : public QDialog {
    Q_OBJECT

public:
    TFm_CsvFixed(TFm_Tabulix01& window, TFm_Browse& browser, QWidget* parent = nullptr);

    void Chk_LastRecNoClick();
    void Btn_ExecClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    int lastRecord() const;
    void output(const OutputRange& range);
    // The lines of the range, CR LF after each; false when stopped by a
    // failure (the lines so far are kept).
    std::string outputText(const OutputRange& range);
    bool write(const std::string& path, const std::string& text);

    TFm_Tabulix01& window_;
    TFm_Browse& browser_;
    bool firstShow_ = true;
    QLabel* Lab_Title_ = nullptr;
    QLineEdit* Edt_RecNoMin_ = nullptr;
    QLineEdit* Edt_RecNoMax_ = nullptr;
    QCheckBox* Chk_LastRecNo_ = nullptr;
    QLabel* Lab_OutRecNo_ = nullptr;
    QPushButton* Btn_Exec_ = nullptr;
    QPushButton* Btn_Close_ = nullptr;
};

} // namespace tabulix
