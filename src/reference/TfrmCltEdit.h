#pragma once

#include "records/SubRecordEdit.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The counterpart edit window, opened by the counterpart list window and,
// to add one unit, by the counterpart picker (no "连续新增", no navigation).
//
// "自动" (automatic numbering) proposes the code that follows the most
// recently added unit; the code is taken again inside the saving
// transaction, so two workstations never save the same one, and the window
// shows the code that was saved. A save in add mode keeps the state of
// "自动" as this workstation's setting (config.ini sys/bZDcode) once it has
// been committed. Codes are checked for duplicates only while automatic
// numbering is this workstation's setting.
//
// Children: edtCode, chkAuto, edtName, edtType, btnType, edtLinkMan,
// edtPhone, edtAddress, edtPostcode, edtFax, edtHandPhone, memMem,
// chkUseFlag, edtBank, edtAccount, edtRatecode, edtHomepage, edtEmail,
// edtEnrol, and those of SubRecordEdit.
class TfrmCltEdit : public SubRecordEdit
{
    Q_OBJECT
public:
    TfrmCltEdit(const CallerList& list, bool fromPicker, QWidget* parent = nullptr);

    QLineEdit* codeEdit() const { return m_code; }
    QCheckBox* autoCode() const { return m_auto; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* typeEdit() const { return m_type; }
    QLineEdit* edit(const QString& objectName) const;
    QCheckBox* stoppedBox() const { return m_stopped; }

    // The type button: the counterpart-type tree (mode 4).
    void pickType();

    static QString emptyCodeText();
    static QString autoTailText();
    static QString duplicateText();

protected:
    void beforeFill() override;
    void clearFields() override;
    void loadFields() override;
    bool checkFields() override;
    bool writeRecord(Database& db, qint64 id, qint64* savedId, QString* error) override;
    void afterCommit() override;
    QWidget* firstField() const override;

private:
    void autoToggled(bool on);
    void proposeCode();

    QLineEdit* m_code = nullptr;
    QCheckBox* m_auto = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QToolButton* m_typeButton = nullptr;
    QLineEdit* m_linkMan = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_postcode = nullptr;
    QLineEdit* m_fax = nullptr;
    QLineEdit* m_handPhone = nullptr;
    QPlainTextEdit* m_mem = nullptr;
    QCheckBox* m_stopped = nullptr;
    QLineEdit* m_bank = nullptr;
    QLineEdit* m_account = nullptr;
    QLineEdit* m_ratecode = nullptr;
    QLineEdit* m_homepage = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_enrol = nullptr;
    // The automatic code the box was given; a save with "自动" ticked and
    // this code still in the box takes the code anew.
    QString m_proposed;
};
