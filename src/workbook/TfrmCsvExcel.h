#pragma once

#include "workbook/Workbook.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tabulix {

class UserDialogs;

// The sheet selection window "Tabulix  Excel ファイルの読み込み": lists the
// sheets of an opened workbook, and on confirmation reads the chosen one into
// the target lines. Created for one read and shown modally.
class TfrmCsvExcel : public QDialog {
    Q_OBJECT

public:
    // `margin` keeps the base panel from the window's edges.
    TfrmCsvExcel(Workbook& book, std::string path, std::string& target, UserDialogs& dialogs,
                 int margin, QWidget* parent = nullptr);

    // Set once a sheet has been read into the target.
    bool readDone() const { return readDone_; }

    void lstSheetClick();
    void btnOKClick();
    void mnCloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    QWidget* buildBase();
    void showProgress(std::uint64_t done, std::uint64_t total);

    qint64 lastProgressPaint_ = 0;

    Workbook& book_;
    std::string path_;
    std::string& target_;
    UserDialogs& dialogs_;
    int margin_;
    bool readDone_ = false;
    QWidget* client_ = nullptr;
    QWidget* pnlBase_ = nullptr;
    QLabel* pnlPathGuide_ = nullptr;
    QLineEdit* edtMemo_ = nullptr;
    QLineEdit* edtSheetName_ = nullptr;
    QLabel* labOpeGuide_ = nullptr;
    QListWidget* lstSheet_ = nullptr;
    QPushButton* btnOK_ = nullptr;
};

} // namespace tabulix
