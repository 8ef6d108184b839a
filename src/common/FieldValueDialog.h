#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

// The one-line value dialog: a value for a column of several selected rows
// ("批量修改当前列"), or the name of a scanned picture. "确定" refuses a blank
// value and, for a picture, a name already taken in the images folder beside
// the executable; the dialog then stays open.
class FieldValueDialog : public QDialog
{
    Q_OBJECT
public:
    enum Mode
    {
        BatchMode,
        PictureNameMode
    };

    // An empty prompt shows defaultPrompt(). maxLength 0: no limit.
    FieldValueDialog(Mode mode, const QString& prompt, const QString& initialText,
                     int maxLength = 0, QWidget* parent = nullptr);

    // The value typed, or nothing when the operator cancels. maxLength is
    // the width of the column the value goes into (0: none).
    static std::optional<QString> askBatchValue(const QString& initialText,
                                                const QString& prompt = QString(),
                                                int maxLength = 0, QWidget* parent = nullptr);
    static std::optional<QString> askPictureName(const QString& prompt, const QString& initialText,
                                                 QWidget* parent = nullptr);

    static QString defaultPrompt() { return QStringLiteral("请输入要填写的字段值："); }
    // The folder whose file names a picture name must not take.
    static QString imagesFolder();

    Mode mode() const { return m_mode; }
    QLabel* promptLabel() const { return m_prompt; }
    QLineEdit* valueEdit() const { return m_edit; }
    QString value() const;

    // What "确定" does: checks the value, tells the operator what is wrong,
    // and closes the dialog only with an acceptable value.
    bool tryAccept();

private:
    Mode m_mode;
    int m_maxLength;
    QLabel* m_prompt;
    QLineEdit* m_edit;
};
