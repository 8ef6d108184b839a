#include "common/FieldValueDialog.h"

#include "common/DialogButtons.h"
#include "data/Schema.h"
#include "platform/AppPaths.h"
#include "platform/UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FieldValueDialog::FieldValueDialog(Mode mode, const QString& prompt, const QString& initialText,
                                   int maxLength, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_maxLength(maxLength),
      m_prompt(new QLabel(prompt.isEmpty() ? defaultPrompt() : prompt, this)),
      m_edit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("FieldValueDialog"));
    setWindowTitle(mode == PictureNameMode ? QStringLiteral("提示 ")
                                           : QStringLiteral("批量修改当前列"));
    m_prompt->setObjectName(QStringLiteral("lblPrompt"));
    m_edit->setObjectName(QStringLiteral("edtValue"));
    // A longer initial text is shown whole (QLineEdit would cut it) and
    // refused on "确定" instead.
    if (maxLength > 0)
        m_edit->setMaxLength(qMax(maxLength, int(initialText.size())));
    m_edit->setText(initialText);
    m_edit->selectAll();

    auto* buttons = okCancelButtons(this, [this] { tryAccept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

std::optional<QString> FieldValueDialog::askBatchValue(const QString& initialText,
                                                       const QString& prompt, int maxLength,
                                                       QWidget* parent)
{
    FieldValueDialog dlg(BatchMode, prompt, initialText, maxLength, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.value();
}

std::optional<QString> FieldValueDialog::askPictureName(const QString& prompt,
                                                        const QString& initialText, QWidget* parent)
{
    FieldValueDialog dlg(PictureNameMode, prompt, initialText,
                         Schema::maxLength(QStringLiteral("t_TPrec"), QStringLiteral("F_FileName")),
                         parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.value();
}

QString FieldValueDialog::imagesFolder()
{
    return AppPaths::exeDir() + QStringLiteral("/images");
}

QString FieldValueDialog::value() const
{
    return m_edit->text();
}

bool FieldValueDialog::tryAccept()
{
    const QString v = value();
    if (v.trimmed().isEmpty()) {
        ShowMess(QStringLiteral("当前输入不能为空！"), mkInfo);
        m_edit->setFocus();
        return false;
    }
    if (m_maxLength > 0 && v.size() > m_maxLength) {
        ShowMess(QStringLiteral("当前输入不能超过%1个字符！").arg(m_maxLength), mkInfo);
        m_edit->setFocus();
        return false;
    }
    if (m_mode == PictureNameMode && QFileInfo::exists(QDir(imagesFolder()).filePath(v))) {
        ShowMess(QStringLiteral("当前文件名已经存在，请更换图片名！"), mkInfo);
        m_edit->setFocus();
        return false;
    }
    accept();
    return true;
}
