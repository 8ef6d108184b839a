#include "records/SubRecordEdit.h"

#include "common/DataGrid.h"
#include "common/NumberText.h"
#include "data/DataServicesUi.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "data/TransactionGuard.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

// ---- SubRecordEdit

SubRecordEdit::SubRecordEdit(const QString& className, const QString& title,
                             const CallerList& caller, bool continuousByDefault, QWidget* parent)
    : QDialog(parent), m_title(title), m_caller(caller)
{
    setObjectName(className);
    setWindowTitle(title);

    m_summary = new QPlainTextEdit(this);
    m_summary->setObjectName(QStringLiteral("memSummary"));
    m_summary->setReadOnly(true);
    m_summary->setFocusPolicy(Qt::NoFocus);
    m_summary->setMinimumWidth(200);
    m_summary->setMaximumWidth(260);
    m_summary->hide();

    auto* fields = new QWidget(this);
    m_form = new QGridLayout(fields);
    m_form->setContentsMargins(0, 0, 0, 0);

    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("chkContinue"));
    m_continue->setChecked(continuousByDefault);
    m_continue->setFocusPolicy(Qt::NoFocus);

    static const char* const kNavNames[] = {"btnFirst", "btnPrior", "btnNext", "btnLast"};
    static const char* const kNavCaptions[] = {"首项", "前项", "后项", "末项"};
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_continue);
    for (int i = 0; i < 4; ++i) {
        m_nav[i] = new QPushButton(QString::fromUtf8(kNavCaptions[i]), this);
        m_nav[i]->setObjectName(QString::fromLatin1(kNavNames[i]));
        m_nav[i]->setAutoDefault(false);
        m_nav[i]->setFocusPolicy(Qt::NoFocus);
        connect(m_nav[i], &QPushButton::clicked, this, [this, i] { moveTo(Move(i)); });
        buttons->addWidget(m_nav[i]);
    }
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(m_ok, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* body = new QHBoxLayout;
    body->addWidget(m_summary);
    body->addWidget(fields, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void SubRecordEdit::addFieldWidget(const QString& caption, QWidget* field, int row, int column,
                                   int columnSpan)
{
    auto* label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    m_form->addWidget(label, row, column * 2);
    m_form->addWidget(field, row, column * 2 + 1, 1, columnSpan * 2 - 1);
}

void SubRecordEdit::limitText(QLineEdit* edit, const QString& table, const QString& column)
{
    if (const int max = Schema::maxLength(table, column); max > 0)
        edit->setMaxLength(max);
}

void SubRecordEdit::setSummaryText(const QString& text)
{
    m_summary->clear();
    m_summary->setPlainText(text);
    m_summary->show();
}

QVariant SubRecordEdit::currentValue(const QString& field) const
{
    return m_caller.grid ? m_caller.grid->currentValue(field) : QVariant();
}

int SubRecordEdit::Open(Mode mode)
{
    prepare(mode);
    DispFormPos(this, fpEdit);
    return exec();
}

void SubRecordEdit::prepare(Mode mode)
{
    setMode(mode);
    beforeFill();
    if (mode == AddMode)
        clearFields();
    else
        loadFields();
}

void SubRecordEdit::setMode(Mode mode)
{
    m_mode = mode;
    m_continue->setVisible(mode == AddMode);
    for (QPushButton* b : m_nav)
        b->setVisible(mode == ModifyMode);
    setWindowTitle(m_title +
                   (mode == AddMode ? QStringLiteral(" - 新增") : QStringLiteral(" - 修改")));
}

void SubRecordEdit::moveTo(Move move)
{
    DataGrid* grid = m_caller.grid;
    if (!grid || grid->model()->rowCount() == 0)
        return;
    const int last = grid->model()->rowCount() - 1;
    const int current = grid->currentRow();
    int row = current;
    switch (move) {
    case First:
        row = 0;
        break;
    case Prior:
        row = qMax(0, current - 1);
        break;
    case Next:
        row = qMin(last, current + 1);
        break;
    case Last:
        row = last;
        break;
    }
    grid->setCurrentRow(row);
    // Unsaved changes are dropped without asking.
    loadFields();
}

QString SubRecordEdit::saveFailedText()
{
    return QStringLiteral("保存失败，请检测数据库连接！");
}

bool SubRecordEdit::reopenList(QString* error)
{
    if (m_caller.reopen)
        return m_caller.reopen(error);
    return true;
}

void SubRecordEdit::placeList(qint64 savedId)
{
    DataGrid* grid = m_caller.grid;
    if (!grid)
        return;
    int row = grid->model()->findRow(keyField(), savedId);
    if (row < 0 && m_mode == AddMode)
        row = grid->model()->rowCount() - 1;
    if (row >= 0)
        grid->setCurrentRow(row);
}

bool SubRecordEdit::save()
{
    if (!checkFields())
        return false;
    const qint64 id = m_mode == ModifyMode ? currentValue(keyField()).toLongLong() : 0;
    Database& db = dmData()->db();
    QString error;
    qint64 savedId = id;
    bool ok = false;
    {
        TransactionGuard guard(db);
        // The list is re-read inside the transaction, so that a failure to
        // read it rolls the save back as well.
        ok = guard.isActive() && writeRecord(db, id, &savedId, &error) && reopenList(&error) &&
             guard.commit();
        if (!ok && error.isEmpty())
            error = guard.error();
    }
    if (!ok) {
        // The list may still show the row that was rolled back.
        reopenList(nullptr);
        if (m_mode == ModifyMode)
            placeList(id);
        qWarning().noquote() << saveFailedText() << error;
        ShowMess(saveFailedText(), mkError);
        return false;
    }
    placeList(savedId);

    const bool stay = m_mode == AddMode && m_continue->isChecked();
    setMode(AddMode);
    if (stay) {
        beforeFill();
        clearFields();
        if (QWidget* w = firstField())
            w->setFocus();
    } else {
        accept();
    }
    return true;
}

void SubRecordEdit::showEvent(QShowEvent* event)
{
    // Every control: Enter, Ctrl+S and Esc reach the window before the control.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    ApplyInputMethod(this);
    QDialog::showEvent(event);
}

bool SubRecordEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (handleKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SubRecordEdit::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

bool SubRecordEdit::handleKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_S && (event->modifiers() & Qt::ControlModifier)) {
        if (m_ok->isEnabled())
            m_ok->click();
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (m_cancel->isEnabled())
            m_cancel->click();
        return true;
    }
    return EnterActsAsTab(this, event);
}


