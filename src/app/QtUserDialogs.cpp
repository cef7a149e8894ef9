#include "app/QtUserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace tabulix {

namespace {

QString toQt(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

struct KindLook {
    QMessageBox::Icon icon;
    const char* caption;
    QMessageBox::StandardButtons buttons;
};

KindLook lookOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return {QMessageBox::Information, "確認", QMessageBox::Ok};
    case MessageKind::Question:
    case MessageKind::Confirmation:
        return {QMessageBox::Question, "確認", QMessageBox::Yes | QMessageBox::No};
    case MessageKind::QuestionWithCancel:
        return {QMessageBox::Question, "確認",
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel};
    case MessageKind::Error:
        return {QMessageBox::Critical, "エラー", QMessageBox::Ok};
    }
    return {QMessageBox::Information, "確認", QMessageBox::Ok};
}

std::optional<std::string> fromQt(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    // File names are bytes: the dialog decoded them with QFile::decodeName.
    return QFile::encodeName(path).toStdString();
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(MessageKind kind, std::string_view text,
                                            QWidget* parent) {
    const KindLook look = lookOf(kind);
    auto box = std::make_unique<QMessageBox>(look.icon, QString::fromUtf8(look.caption), toQt(text),
                                             look.buttons, parent);
    box->setObjectName(QStringLiteral("TabulixMessage"));
    box->setTextFormat(Qt::PlainText);
    return box;
}

bool installJapaneseTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_ja"), dir)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

int QtUserDialogs::run(MessageKind kind, std::string_view text) {
    auto box = makeMessageBox(kind, text, parent_);
    return box->exec();
}

void QtUserDialogs::information(std::string_view text) {
    run(MessageKind::Information, text);
}

bool QtUserDialogs::question(std::string_view text) {
    return run(MessageKind::Question, text) == QMessageBox::Yes;
}

bool QtUserDialogs::confirm(std::string_view text) {
    return run(MessageKind::Confirmation, text) == QMessageBox::Yes;
}

Answer QtUserDialogs::questionYesNoCancel(std::string_view text) {
    switch (run(MessageKind::QuestionWithCancel, text)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtUserDialogs::error(std::string_view text) {
    run(MessageKind::Error, text);
}

namespace {

void prepare(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setNameFilters(QString::fromStdString(request.filter).split(QStringLiteral(";;")));
    dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(request.folder)));
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.name)));
    if (!request.defaultSuffix.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
}

std::optional<std::string> runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fromQt(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<std::string> QtUserDialogs::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

std::optional<std::string> QtUserDialogs::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

} // namespace tabulix
