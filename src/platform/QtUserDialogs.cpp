#include "platform/QtUserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

std::unique_ptr<QMessageBox> QtUserDialogs::makeMessageBox(const QString& text, int kind,
                                                           QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setObjectName(QStringLiteral("ShowMess"));
    box->setText(text);
    if (kind == mkQuestion || kind == mkQuestionCancel) {
        box->setWindowTitle(QStringLiteral("询问"));
        box->setIcon(QMessageBox::Question);
        QPushButton* yes = box->addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box->addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        yes->setObjectName(QStringLiteral("btnYes"));
        no->setObjectName(QStringLiteral("btnNo"));
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
        if (kind == mkQuestionCancel) {
            QPushButton* cancel = box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
            cancel->setObjectName(QStringLiteral("btnCancel"));
            box->setEscapeButton(cancel);
        }
        return box;
    }
    switch (kind) {
    case mkWarning:
        box->setWindowTitle(QStringLiteral("警告"));
        box->setIcon(QMessageBox::Warning);
        break;
    case mkError:
        box->setWindowTitle(QStringLiteral("错误"));
        box->setIcon(QMessageBox::Critical);
        break;
    default:
        box->setWindowTitle(QStringLiteral("提示"));
        box->setIcon(QMessageBox::Information);
        break;
    }
    QPushButton* ok = box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    return box;
}

int QtUserDialogs::showMess(const QString& text, int kind)
{
    const std::unique_ptr<QMessageBox> box =
        makeMessageBox(text, kind, QApplication::activeWindow());
    box->exec();
    if (kind != mkQuestion && kind != mkQuestionCancel)
        return 1;
    const QAbstractButton* clicked = box->clickedButton();
    const QString name = clicked ? clicked->objectName() : QString();
    if (name == QLatin1String("btnYes"))
        return 1;
    if (name == QLatin1String("btnNo") || kind == mkQuestion)
        return 2;
    return 3;
}

void QtUserDialogs::showFailure(const QString& text, const QString& details)
{
    const std::unique_ptr<QMessageBox> box =
        makeMessageBox(text, mkError, QApplication::activeWindow());
    box->setDetailedText(details);
    box->exec();
}

std::unique_ptr<QFileDialog> QtUserDialogs::makeSaveDialog(const QString& title, const QString& dir,
                                                           const QString& filter, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, dir, filter);
    dialog->setObjectName(QStringLiteral("dlgSaveFile"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // "Excel 工作簿 (*.xlsx)": a name typed without ".xlsx" is the workbook
    // that will be written, and the one the replace question must be about.
    static const QRegularExpression single(QStringLiteral("^[^(]*\\(\\*\\.(\\w+)\\)$"));
    const QRegularExpressionMatch m = single.match(filter.trimmed());
    if (m.hasMatch())
        dialog->setDefaultSuffix(m.captured(1));
    return dialog;
}

QString QtUserDialogs::openFileName(const QString& title, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, dir, filter);
}

QStringList QtUserDialogs::openFileNames(const QString& title, const QString& dir,
                                         const QString& filter)
{
    return QFileDialog::getOpenFileNames(QApplication::activeWindow(), title, dir, filter);
}

QString QtUserDialogs::saveFileName(const QString& title, const QString& dir, const QString& filter)
{
    const std::unique_ptr<QFileDialog> dialog =
        makeSaveDialog(title, dir, filter, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    return dialog->selectedFiles().first();
}

QString QtUserDialogs::existingDirectory(const QString& title, const QString& dir)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, dir);
}

std::unique_ptr<QInputDialog>
QtUserDialogs::makePasswordDialog(const QString& title, const QString& prompt, QWidget* parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setObjectName(QStringLiteral("dlgPassword"));
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextEchoMode(QLineEdit::Password);
    dialog->setOkButtonText(QStringLiteral("确定"));
    dialog->setCancelButtonText(QStringLiteral("取消"));
    return dialog;
}

std::optional<QString> QtUserDialogs::askPassword(const QString& title, const QString& prompt)
{
    const std::unique_ptr<QInputDialog> dialog =
        makePasswordDialog(title, prompt, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->textValue();
}
