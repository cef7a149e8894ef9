#pragma once

#include <QDialog>

class QComboBox;

namespace tabulix {

class UserDialogs;

// The options dialog "動作環境の定義": edits the zone-sign format of COBOL
// zoned and packed numbers. The setting changes only through "更新" and a
// confirmed question; closing discards a choice made in the list.
class TFm_CsvEtc : public QDialog {
    Q_OBJECT

public:
    TFm_CsvEtc(UserDialogs& dialogs, int& zoneSignSetting, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPage();
    void Btn_UpdateClick();

    UserDialogs& dialogs_;
    int& zoneSign_;
    QWidget* client_ = nullptr;
    QWidget* pnlBase_ = nullptr;
    QComboBox* Cmb_ZoneSign_ = nullptr;
};

} // namespace tabulix
