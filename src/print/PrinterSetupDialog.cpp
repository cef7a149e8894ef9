#include "print/PrinterSetupDialog.h"

#include "print/PrinterChoice.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace tabulix {

namespace {

constexpr PaperKind kPapers[] = {PaperKind::A3, PaperKind::A4, PaperKind::A5, PaperKind::B4,
                                 PaperKind::B5};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

bool RunPrinterSetUp(PrinterChoice& choice, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("プリンタの設定"));
    dialog.setMinimumWidth(360);
    auto* printers = new QComboBox(&dialog);
    printers->setObjectName(QStringLiteral("Cmb_Printer"));
    printers->addItems(choice.names());
    printers->setCurrentIndex(choice.index());
    const auto facts = choice.read();
    auto* paper = new QComboBox(&dialog);
    paper->setObjectName(QStringLiteral("Cmb_Paper"));
    for (PaperKind kind : kPapers)
        paper->addItem(qs(PaperName(kind)));
    // Another paper stays selectable as it is.
    if (facts && paper->findText(qs(facts->paperName)) < 0)
        paper->addItem(QStringLiteral("その他 (現在の用紙)"));
    paper->setCurrentIndex(facts ? std::max(0, paper->findText(qs(facts->paperName)))
                                 : 1);
    if (facts && facts->paperName == "?") paper->setCurrentIndex(paper->count() - 1);
    auto* orientation = new QComboBox(&dialog);
    orientation->setObjectName(QStringLiteral("Cmb_Orient"));
    orientation->addItems({QStringLiteral("縦"), QStringLiteral("横")});
    orientation->setCurrentIndex(facts && facts->orientation == "横" ? 1 : 0);

    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("プリンタ"), printers);
    form->addRow(QStringLiteral("用紙サイズ"), paper);
    form->addRow(QStringLiteral("印刷の向き"), orientation);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;

    choice.select(printers->currentIndex());
    if (paper->currentIndex() < static_cast<int>(std::size(kPapers)))
        choice.setPaper(kPapers[paper->currentIndex()]);
    choice.setOrientation(orientation->currentIndex() == 1 ? Orientation::Landscape
                                                           : Orientation::Portrait);
    return true;
}

} // namespace tabulix
