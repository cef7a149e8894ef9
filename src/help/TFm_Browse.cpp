#include "help/TFm_Browse.h"

#include "csv/FileReading.h"
#include "csv/FileWriting.h"
#include "csv/TextEncoding.h"
#include "help/HelpDocuments.h"
#include "settings/InstalledProgram.h"
#include "table/UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace tabulix {

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

std::string HelpDocumentPath(const std::string& programFolder, const std::string& name) {
    const std::string beside = programFolder + "/" + name;
    struct stat st {};
    if (stat(beside.c_str(), &st) == 0) return beside;
    const std::string installed = (InstalledDataFolder(programFolder) / name).string();
    if (stat(installed.c_str(), &st) == 0) return installed;
    return beside;
}

TFm_Browse::TFm_Browse(UserDialogs& dialogs, BrowserOpener openInBrowser, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint), dialogs_(dialogs),
      openInBrowser_(std::move(openInBrowser)) {
    setObjectName(QStringLiteral("TFm_Browse"));
    buildWindow();
    // Two thirds of the screen, centred.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 2 / 3, area.height() * 2 / 3);
        move(area.center() - rect().center());
    }
    savedWidth_ = width();
    headerHeight_ = pnlHed_->sizeHint().height();
    setWindowTitle(baseCaption_);
}

void TFm_Browse::buildWindow() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    QAction* print = file->addAction(QStringLiteral("1. 印刷する (&P)"));
    print->setObjectName(QStringLiteral("Mn_Print"));
    QAction* exit = file->addAction(QStringLiteral("2. 終了(&X)"));
    exit->setObjectName(QStringLiteral("Mn_Exit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 4, 4, 4);
    pnlHed_ = new QWidget(client);
    pnlHed_->setObjectName(QStringLiteral("pnlHed"));
    auto* row = new QHBoxLayout(pnlHed_);
    row->setContentsMargins(0, 0, 0, 0);
    Btn_Html_ = new QPushButton(QStringLiteral("HTML"), pnlHed_);
    Btn_Html_->setObjectName(QStringLiteral("Btn_Html"));
    Btn_Wide_ = new QPushButton(QStringLiteral("⇔"), pnlHed_);
    Btn_Wide_->setObjectName(QStringLiteral("Btn_Wide"));
    cmbBrowseList_ = new QComboBox(pnlHed_);
    cmbBrowseList_->setObjectName(QStringLiteral("cmbBrowseList"));
    cmbBrowseList_->setMinimumContentsLength(36);
    cmbBrowseList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(Btn_Html_);
    row->addWidget(Btn_Wide_);
    row->addWidget(cmbBrowseList_);
    row->addStretch(1);
    RichEdit1_ = new QPlainTextEdit(client);
    RichEdit1_->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1_->setReadOnly(true);
    RichEdit1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette silver = RichEdit1_->palette();
    silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    RichEdit1_->setPalette(silver);
    layout->addWidget(pnlHed_);
    layout->addWidget(RichEdit1_, 1);
    setCentralWidget(client);
    connect(Btn_Html_, &QPushButton::clicked, this, &TFm_Browse::Btn_HtmlClick);
    connect(Btn_Wide_, &QPushButton::clicked, this, &TFm_Browse::Btn_WideClick);
    connect(cmbBrowseList_, &QComboBox::activated, this, &TFm_Browse::cmbBrowseListClick);
}

void TFm_Browse::SetBrowseCaption(const QString& caption) {
    baseCaption_ = caption;
    setWindowTitle(caption);
}

void TFm_Browse::RegisterBrowseEntry(QMenuBar* menu, const QString& topName,
                                     const QString& subName) {
    if (!menu || entries_.size() >= 101) return;
    const QMenu* top = menu->findChild<QMenu*>(topName);
    QAction* sub = top ? top->findChild<QAction*>(subName) : nullptr;
    if (!sub) return;
    entries_.push_back(sub);
    cmbBrowseList_->addItem(text(BrowseItemText(sub->text().toStdString())));
}

void TFm_Browse::selectEntry(QAction* entry) {
    const auto hideHeader = [this] {
        pnlHed_->setFixedHeight(0);
        cmbBrowseList_->hide();
    };
    if (!entry) {
        hideHeader();
        return;
    }
    cmbBrowseList_->setCurrentIndex(-1);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i] != entry) continue;
        cmbBrowseList_->setCurrentIndex(static_cast<int>(i));
        pnlHed_->setFixedHeight(headerHeight_);
        cmbBrowseList_->show();
        return;
    }
    dialogs_.information("Browse サブメニューが登録されていません。\r\n\r\n  → " +
                         entry->objectName().toStdString());
    hideHeader();
}

void TFm_Browse::showDisplay(const QString& shown) {
    RichEdit1_->hide();
    RichEdit1_->clear();
    RichEdit1_->setPlainText(shown);
    RichEdit1_->moveCursor(QTextCursor::Start);
    RichEdit1_->horizontalScrollBar()->setValue(0);
    RichEdit1_->show();
    show();
    raise();
}

void TFm_Browse::ShowText(QAction* entry, const QString& heading, const std::string& shown) {
    selectEntry(entry);
    setWindowTitle(baseCaption_ + QStringLiteral(" ") + heading);
    showDisplay(text(shown));
    shown_ = true;
}

void TFm_Browse::ShowTextFile(QAction* entry, const QString& heading, bool lineNumbers,
                              const std::string& path) {
    selectEntry(entry);
    setWindowTitle(baseCaption_ + QStringLiteral(" ") + heading + QStringLiteral(" [ ") +
                   text(PathForDisplay(path)) + QStringLiteral(" ]"));
    if (QString::fromStdString(path).trimmed().isEmpty()) {
        shown_ = true;
        return;
    }
    const std::optional<TextFile> file = ReadTextFile(path);
    if (!file) {
        RichEdit1_->clear();
        dialogs_.information("ファイルがありません。\r\n\r\n     File = " + PathForDisplay(path));
        shown_ = true;
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    showDisplay(text(lineNumbers ? NumberedLines(file->text()) : JoinedLines(file->text())));
    QGuiApplication::restoreOverrideCursor();
    shown_ = true;
}

std::string TFm_Browse::printTitle() const {
    const QString title =
        cmbBrowseList_->isVisible() ? cmbBrowseList_->currentText() : windowTitle();
    return title.toStdString();
}

std::string TFm_Browse::displayedText() const {
    return RichEdit1_->toPlainText().toStdString();
}

void TFm_Browse::cmbBrowseListClick(int index) {
    RichEdit1_->setFocus();
    if (index >= 0 && index < static_cast<int>(entries_.size())) entries_[index]->trigger();
}

// By the presses modulo 3: narrowed to the header, narrower still, restored.
void TFm_Browse::Btn_WideClick() {
    ++wideCount_;
    switch (wideCount_ % 3) {
    case 1:
        resize(Btn_Wide_->width() / 2 + cmbBrowseList_->x() + cmbBrowseList_->width(), height());
        break;
    case 2:
        resize(static_cast<int>(0.7 * cmbBrowseList_->width()), height());
        break;
    default:
        resize(savedWidth_, height());
        break;
    }
}

void TFm_Browse::Btn_HtmlClick() {
    RichEdit1_->hide();
    const int selected = cmbBrowseList_->currentIndex();
    std::vector<HelpPage> pages;
    for (std::size_t k = 0; k < entries_.size(); ++k) {
        entries_[k]->trigger();
        pages.push_back({cmbBrowseList_->itemText(static_cast<int>(k)).toStdString(), displayedText()});
    }
    if (selected >= 0 && selected < static_cast<int>(entries_.size())) entries_[selected]->trigger();
    const std::string html = HelpHtml(baseCaption_.toStdString(), windowTitle().toStdString(), pages,
                                      selected + 1);
    const QFileInfo program(QCoreApplication::applicationFilePath());
    htmlPath_ = HelpHtmlPath(QFile::encodeName(program.absolutePath()).toStdString(),
                             QFile::encodeName(program.fileName()).toStdString(), UserCacheFolder());
    const bool written = WriteFileAtomically(htmlPath_, html).ok();
    RichEdit1_->show();
    if (!written || !openInBrowser_ || !openInBrowser_(htmlPath_))
        dialogs_.information("ブラウザの起動を失敗しました。");
}

void TFm_Browse::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
}

} // namespace tabulix
