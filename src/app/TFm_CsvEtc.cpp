#include "app/TFm_CsvEtc.h"

#include "app/ToolPanels.h"
#include "settings/SettingsFile.h"
#include "table/UserDialogs.h"
#include "view/WindowHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tabulix {

namespace {

const QColor kFormColour(0x5F, 0x5F, 0x5F);
// The base panel keeps 2/5 of the reference combo height from the edges.
constexpr int kBaseMargin = kReferenceComboHeight * 2 / 5;

void setWindowColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter must not update the setting by accident.
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TFm_CsvEtc::TFm_CsvEtc(UserDialogs& dialogs, int& zoneSignSetting, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), zoneSign_(zoneSignSetting) {
    setObjectName(QStringLiteral("TFm_CsvEtc"));
    setWindowTitle(QStringLiteral("動作環境の定義"));
    setWindowColour(this, kFormColour);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu"));
    setWindowColour(menuBar, QApplication::palette().color(QPalette::Window));
    QMenu* fileMenu = menuBar->addMenu(QStringLiteral("File(&F)"));
    fileMenu->setObjectName(QStringLiteral("Mn_File"));
    QAction* exitAction = fileMenu->addAction(QStringLiteral("終了(&X)"));
    exitAction->setObjectName(QStringLiteral("Mn_Exit"));
    connect(exitAction, &QAction::triggered, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    client_ = new QWidget(this);
    layout->addWidget(client_);
    client_->installEventFilter(this);

    auto* base = new QFrame(client_);
    base->setObjectName(QStringLiteral("pnlBase"));
    base->setFrameStyle(QFrame::Panel | QFrame::Raised);
    setWindowColour(base, QApplication::palette().color(QPalette::Window));
    pnlBase_ = base;

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* update = makeButton(QStringLiteral("Btn_Update"), QStringLiteral("更新"), base);
    QPushButton* close = makeButton(QStringLiteral("Btn_Close"), QStringLiteral("終了"), base);
    buttons->addWidget(update);
    buttons->addWidget(close);
    connect(update, &QPushButton::clicked, this, &TFm_CsvEtc::Btn_UpdateClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* baseLayout = new QVBoxLayout(base);
    baseLayout->addWidget(buildPage());
    baseLayout->addLayout(buttons);

    resize(440, 260);
}

QWidget* TFm_CsvEtc::buildPage() {
    auto* pages = new QTabWidget(pnlBase_);
    pages->setObjectName(QStringLiteral("PageCtl"));
    pages->setDocumentMode(true);
    auto* sheet = new QWidget(pages);
    sheet->setObjectName(QStringLiteral("TabSheet1"));
    pages->addTab(sheet, QStringLiteral("バイナリ出力時"));
    pages->setCurrentWidget(sheet);

    auto* group = new QGroupBox(QStringLiteral("COBOL"), sheet);
    group->setObjectName(QStringLiteral("GroupBox1"));
    Cmb_ZoneSign_ = new QComboBox(group);
    Cmb_ZoneSign_->setObjectName(QStringLiteral("Cmb_ZoneSign"));
    Cmb_ZoneSign_->addItem(QStringLiteral(" IBM-EBCDIC (F/C/D)"));
    Cmb_ZoneSign_->addItem(QStringLiteral(" ASCII-MicroFocus (3/7)"));
    Cmb_ZoneSign_->setCurrentIndex(IndexWithin(zoneSign_, Cmb_ZoneSign_->count(), 0));

    auto* grid = new QGridLayout(group);
    grid->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("ZONE,PACKの"), group), 0,
                    0);
    grid->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("符号形式"), group), 1, 0);
    grid->addWidget(Cmb_ZoneSign_, 0, 1, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(1, 1);

    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->addWidget(group);
    sheetLayout->addStretch();
    return pages;
}

bool TFm_CsvEtc::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        InsetPanel(client_, pnlBase_, kBaseMargin);
    return QDialog::eventFilter(watched, event);
}

void TFm_CsvEtc::Btn_UpdateClick() {
    if (!dialogs_.confirm("動作環境の定義を更新します。\r\n\r\nよろしいですか？")) return;
    zoneSign_ = Cmb_ZoneSign_->currentIndex();
    dialogs_.information("動作環境の定義を更新しました。");
}

} // namespace tabulix
