#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QStackedWidget;

// "自定义设置": the captions of the eleven custom contract fields, the
// decimals of amounts, and the workstation's switches (input method,
// automatic contract and counterpart numbers, rows per printed page).
// "确定" stores the captions and decimals in KeyValue, then the switches in
// the settings file, and only then gives the session the new values: a
// failure leaves the session as it was and the window open.
class TfrmZDYset : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmZDYset(QWidget* parent = nullptr);

    // "确定": true when everything was stored (the window then closes).
    bool save();

    // The input methods the desktop offers (ibus or fcitx engines); empty
    // when neither is installed.
    static QStringList installedInputMethods();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStackedWidget* m_pages = nullptr;
    QLineEdit* m_captions[11] = {};
    QSpinBox* m_quantityDecimals = nullptr;
    QSpinBox* m_priceDecimals = nullptr;
    QSpinBox* m_moneyDecimals = nullptr;
    QComboBox* m_ime = nullptr;
    QCheckBox* m_autoContractCode = nullptr;
    QCheckBox* m_autoCode = nullptr;
    QSpinBox* m_printRows = nullptr;
    bool m_imeListed = false;
};
