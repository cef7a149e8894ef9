#pragma once

#include "print/PrintJob.h"
#include "print/PrintTexts.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace tabulix {

class PageImage;
class PagePainter;
class PrintData;
class PrinterChoice;
class UserDialogs;

// The print preview "TfrmGridPrint_01": one page of the print data at a
// time, with its own copy of the table, paging, zoom, dragging, every print
// setting, the printer set-up and the print run. Modal; created for one job.
class TfrmGridPrint_01 : public QMainWindow {
    Q_OBJECT

public:
    using PrinterSetUp = std::function<bool(PrinterChoice&, QWidget*)>;
    // Opens a saved HTML page in the browser; false when that failed.
    using HtmlOpener = std::function<bool(const std::string& path)>;

    TfrmGridPrint_01(const PrintJob& job, UserDialogs& dialogs, PrinterChoice& printers,
                     QWidget* parent = nullptr);
    ~TfrmGridPrint_01() override;

    // The settings as the controls leave them, to be handed back on close.
    PrintSettings resultSettings() const;
    // Replaces the printer set-up dialog (tests answer it).
    void setPrinterSetUp(PrinterSetUp setUp) { setUp_ = std::move(setUp); }
    // Replaces the desktop's browser launch (tests never start a browser).
    void setHtmlOpener(HtmlOpener opener) { opener_ = std::move(opener); }
    // Where the browser's temporary page goes: beside `programFile`, or in
    // `cacheFolder` when that folder is not writable.
    void setExportPlaces(std::string programFile, std::string cacheFolder);
    // Page images beyond this many bytes are not made (the zoom is lowered).
    static void setImageByteLimit(qint64 bytes);

    PrintData& data() { return *data_; }
    int currentPage() const { return currentPage_; }
    int pageCount() const;
    double zoom() const { return zoom_; }
    const PageImage& pageImage() const { return *imgPrn_; }

Q_SIGNALS:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Construction.
    void createMenus();
    QAction* addCheck(QMenu* menu, const char* name, const char* caption, bool* setting);
    void createHeader();
    QGroupBox* createPageGroup();
    QGroupBox* createCellRateGroup();
    QGroupBox* createScaleGroup();
    QGroupBox* createMarginGroup();
    QGroupBox* createGrayGroup();
    QGroupBox* createPrinterGroup();
    void createPreviewArea();

    // Show sequence, pages and image.
    void showSequence();
    bool firstShowSetup();
    void applySettingsToControls();
    void enterNoPrinterState();
    void applySavedPrinter();
    bool readPrinter();
    void takeDateTime();
    void rebuild();
    void redraw();
    void showPage(int page, bool relaid);
    void drawPage(bool checkLargeCell);
    void afterPage(bool relaid);
    void enableAfterPage();
    double zoomOf(int index) const;
    bool makeImage(bool wantMessage);
    bool tryImage(double zoom);
    void setBusy(bool busy);

    // Handlers.
    void btnPageDwClick(int step);
    void scrPageChange(int position);
    bool edtPageMinKeyPress(QLineEdit* edit, QKeyEvent* event);
    void edtPageMinExit(QLineEdit* edit);
    void Cmb_ScaleClick();
    void Cmb_ResetSclClick();
    void Btn_DispModeClick();
    void btnFontDwClick(int direction);
    void Cmb_CellWayClick();
    void Cmb_MgnUpClick();
    void btnGrayDwClick(int step);
    void applyGray();
    void Btn_DataCreateClick();
    void Mn_BreakColorClick();
    void imgPrnMouseMove(QPoint at, bool leftHeld);
    void Btn_PrtSetClick();
    void Btn_PrintExecClick();
    void printRun(int first, int last);
    bool printPages(int first, int last);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Save menu.
    void Mn_SaveCsvClick();
    void Mn_SaveHtmlClick();
    void Mn_ExecHtmlClick();
    bool writeExport(const std::string& path, const std::string& bytes);
    std::string programFolder() const;

    PrintJob job_;
    UserDialogs& dialogs_;
    PrinterChoice& printers_;
    PrinterSetUp setUp_;
    HtmlOpener opener_;
    std::string programFile_;
    std::string cacheFolder_;
    std::unique_ptr<PrintData> data_;
    std::unique_ptr<PagePainter> painter_;
    PrinterFacts facts_;

    int currentPage_ = 0;
    double zoom_ = 1.0;
    int zoomIndexInUse_ = kFitIndex;
    int dispMode_ = 1;
    int manualCellScale_ = 100; // remembered while the one-page mode holds 100
    int lastMin_ = 1, lastMax_ = 1;
    QPoint downAt_;
    bool dragging_ = false;
    int dblClickStep_ = 1;
    bool firstShowDone_ = false;
    bool noPrinter_ = false;
    bool printing_ = false; // Running of the print run
    bool busy_ = false;

    QWidget* pnlHed_ = nullptr;
    QGroupBox *grpPage_ = nullptr, *grpCellRate_ = nullptr, *grpSacle_ = nullptr;
    QGroupBox *grpYohaku_ = nullptr, *grpGray_ = nullptr, *grpPrinter_ = nullptr;
    QPushButton *btnPageDw_ = nullptr, *btnPageUp_ = nullptr;
    QLineEdit *edtPageMin_ = nullptr, *edtPageMax_ = nullptr;
    QScrollBar* scrPage_ = nullptr;
    QComboBox* Cmb_CellWay_ = nullptr;
    QPushButton *btnFontDw_ = nullptr, *btnFontUp_ = nullptr;
    QLabel* Lbl_CellScale_ = nullptr;
    QPushButton *Btn_DataCreate_ = nullptr, *Btn_CreateStop_ = nullptr;
    QLabel* Lbl_CreateSts_ = nullptr;
    QComboBox *Cmb_Scale_ = nullptr, *Cmb_ResetScl_ = nullptr;
    QPushButton* Btn_DispMode_ = nullptr;
    QComboBox* Cmb_LineKind_ = nullptr;
    QComboBox *Cmb_MgnLeft_ = nullptr, *Cmb_MgnUp_ = nullptr;
    QPushButton *btnGrayDw_ = nullptr, *btnGrayUp_ = nullptr;
    QComboBox* Cmb_Gray_ = nullptr;
    QLabel* lblPrtInf_ = nullptr;
    QPushButton *Btn_PrintExec_ = nullptr, *Btn_PrintStop_ = nullptr, *Btn_PrtSet_ = nullptr;
    QScrollArea* ScrBox_ = nullptr;
    QWidget* pnlImage_ = nullptr;
    PageImage* imgPrn_ = nullptr;
    QLabel* lblPrintMsg_ = nullptr;

    QMenu *mnSave_ = nullptr, *mnView_ = nullptr, *mnView2_ = nullptr;
    QAction *Mn_SaveCsv_ = nullptr, *Mn_RecCount_ = nullptr;
    QAction *Mn_FixedCenter_ = nullptr, *Mn_DataCenter_ = nullptr, *Mn_TrimSpace_ = nullptr;
    QAction *Mn_DateEdit_ = nullptr, *Mn_BreakColor_ = nullptr;
    QAction *Mn_KaraGyoColor_ = nullptr, *Mn_KaraGyoBlack_ = nullptr;
};

// Opens the preview for `job` modally over `parent` and returns the print
// settings it leaves, for the caller to keep.
PrintSettings RunPrintPreview(const PrintJob& job, UserDialogs& dialogs, QWidget* parent);

} // namespace tabulix
