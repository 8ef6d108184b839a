#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
struct CompanyInfo;

// "公司信息": the company row of SysInfo on two pages (" 主要资料 ",
// " 其他资料 "). "重填" empties the fields, "修改" reads the stored values
// again, "保存" stores them and refreshes the session's company name, "关闭"
// closes. A double click on the home page opens it in the browser, on the
// e-mail address (when it passes the address test) the mail program.
class TfrmCompanyInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmCompanyInfo(QWidget* parent = nullptr);

    // Reads the stored row into the fields; false (and said) on failure.
    bool reload();
    // "保存": true when stored.
    bool save();
    // "重填"
    void clearFields();

    // Opens the home page or the mail program for the field's text.
    void openHomePage();
    void openMail();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CompanyInfo fields() const;
    void showInfo(const CompanyInfo& info);

    QTabWidget* m_pages = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_manager = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_handPhone = nullptr;
    QLineEdit* m_homepage = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_enroler = nullptr;
    QPlainTextEdit* m_mem = nullptr;
};

// "关于我们": the program's name and version and how to reach its maker; the
// web and mail addresses open the browser and the mail program.
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    static QString webAddress();
    static QString mailAddress();
};
