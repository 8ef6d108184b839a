#include "platform/QtUserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

int QtUserDialogs::showMess(const QString& text, int kind)
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ShowMess"));
    box.setText(text);
    switch (kind) {
    case mkQuestion: {
        box.setWindowTitle(QStringLiteral("询问"));
        box.setIcon(QMessageBox::Question);
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        yes->setObjectName(QStringLiteral("btnYes"));
        no->setObjectName(QStringLiteral("btnNo"));
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? 1 : 2;
    }
    case mkQuestionCancel: {
        box.setWindowTitle(QStringLiteral("询问"));
        box.setIcon(QMessageBox::Question);
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        yes->setObjectName(QStringLiteral("btnYes"));
        no->setObjectName(QStringLiteral("btnNo"));
        cancel->setObjectName(QStringLiteral("btnCancel"));
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == yes ? 1 : box.clickedButton() == no ? 2 : 3;
    }
    case mkWarning:
        box.setWindowTitle(QStringLiteral("警告"));
        box.setIcon(QMessageBox::Warning);
        break;
    case mkError:
        box.setWindowTitle(QStringLiteral("错误"));
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setWindowTitle(QStringLiteral("提示"));
        box.setIcon(QMessageBox::Information);
        break;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return 1;
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
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, dir, filter);
}

QString QtUserDialogs::existingDirectory(const QString& title, const QString& dir)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, dir);
}
