#include "shipments/TfrmHTFHedit.h"

#include "codes/CodeCombos.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/GoodsGrid.h"
#include "common/PickerRegistry.h"
#include "data/Session.h"
#include "data/StoredDate.h"
#include "data/TdmData.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "records/ContractSummary.h"
#include "shipments/ShipmentStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QUrl>

namespace {

const QString kTable = QStringLiteral("t_FHrec");

} // namespace

TfrmHTFHedit::TfrmHTFHedit(DataGrid* shipments, DataGrid* lines, const QVariantMap& contract,
                           QWidget* parent, std::function<bool(QString*)> reopen)
    : SubRecordEdit(QStringLiteral("TfrmHTFHedit"), QStringLiteral("合同发货记录"),
                    CallerList{shipments, std::move(reopen)}, false, parent),
      m_lines(lines)
{
    setContract(contract);
    if (!caller().reopen && shipments) {
        const int cltID = FieldValue(contract, QStringLiteral("F_cltID")).toInt();
        setReopen([shipments, cltID](QString* error) {
            return shipments->open(dmData()->db(), ShipmentStore::contractListSql(),
                                   ShipmentStore::contractListParams(cltID), error);
        });
    }
    buildFields();
}

TfrmHTFHedit::~TfrmHTFHedit()
{
    returnLines();
}

void TfrmHTFHedit::buildFields()
{
    auto edit = [this](const char* name, const char* column) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        if (column)
            limitText(e, kTable, QLatin1String(column));
        return e;
    };
    int row = 0;
    m_code = addField(QStringLiteral("销售单号："), edit("edtCode", nullptr), row, 0);
    m_code->setReadOnly(true);
    m_code->setFocusPolicy(Qt::ClickFocus);
    m_oldCode = addField(QStringLiteral("原始单号："), edit("edtOLDcode", "F_OLDcode"), row++, 1);
    m_fhEmp = new QComboBox(this);
    m_fhEmp->setObjectName(QStringLiteral("cbbFHemp"));
    m_fhEmp->setEditable(true);
    limitText(m_fhEmp->lineEdit(), kTable, QStringLiteral("F_FHemp"));
    m_fhEmp->addItems(CodePickList(ShipmentStore::kEditShippers));
    addField(QStringLiteral("发 货 人："), m_fhEmp, row, 0);
    m_fhDate = new DateBox(this);
    m_fhDate->setObjectName(QStringLiteral("dtpFHdate"));
    addField(QStringLiteral("发货时间："), m_fhDate, row++, 1);
    m_shEmp = addField(QStringLiteral("收 货 人："), edit("edtSHemp", "F_SHemp"), row, 0);
    m_shDate = new CheckedDate(this);
    m_shDate->setObjectName(QStringLiteral("dtpSHdate"));
    addField(QStringLiteral("收货时间："), m_shDate, row++, 1);
    m_shPhone = addField(QStringLiteral("收货人座机"), edit("edtSHphone", "F_SHphone"), row, 0);
    m_shHandPhone =
        addField(QStringLiteral("收货人手机"), edit("edtSHhandPhone", "F_SHhandPhone"), row++, 1);
    m_shAddress = edit("edtSHaddress", "F_SHaddress");
    addFieldWidget(QStringLiteral("收货地址："), m_shAddress, row++, 0, 2);

    auto* fileBox = new QWidget(this);
    auto* fileRow = new QHBoxLayout(fileBox);
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->setSpacing(2);
    m_filePath = edit("edtFilePath", "F_FHfilePath");
    auto* choose = new QPushButton(QStringLiteral("…"), fileBox);
    choose->setObjectName(QStringLiteral("btnFilePath"));
    choose->setFixedWidth(28);
    auto* open = new QPushButton(QStringLiteral("打开"), fileBox);
    open->setObjectName(QStringLiteral("btnOpenFile"));
    for (QPushButton* b : {choose, open}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    fileRow->addWidget(m_filePath, 1);
    fileRow->addWidget(choose);
    fileRow->addWidget(open);
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file = UserDialogs::current().openFileName(
            QStringLiteral("定位文件位置"), AppPaths::exeDir(), QStringLiteral("所有文件 (*)"));
        if (!file.isEmpty())
            m_filePath->setText(file);
    });
    connect(open, &QPushButton::clicked, this, [this] { OpenFileWithDesktop(m_filePath->text()); });
    addFieldWidget(QStringLiteral("发货信息相关文件："), fileBox, row++, 0, 2);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memMemo1"));
    m_memo->setTabChangesFocus(true);
    m_memo->setFixedHeight(56);
    addFieldWidget(QStringLiteral("备注信息："), m_memo, row++, 0, 2);

    auto* linesBar = new QHBoxLayout;
    linesBar->addWidget(new QLabel(QStringLiteral("合同发货信息明细："), this));
    linesBar->addStretch();
    m_addLine = new QPushButton(QStringLiteral("新增"), this);
    m_addLine->setObjectName(QStringLiteral("btnAddLine"));
    m_deleteLine = new QPushButton(QStringLiteral("删除"), this);
    m_deleteLine->setObjectName(QStringLiteral("btnDeleteLine"));
    for (QPushButton* b : {m_addLine, m_deleteLine}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        linesBar->addWidget(b);
    }
    connect(m_addLine, &QPushButton::clicked, this, [this] { appendEmptyLine(); });
    connect(m_deleteLine, &QPushButton::clicked, this, [this] { deleteCurrentLine(); });
    form()->addLayout(linesBar, row++, 0, 1, 4);
    form()->setRowStretch(row, 1);
    if (m_lines) {
        borrowLines();
        form()->addWidget(m_lines, row, 0, 1, 4);
    }
    resize(940, 600);
}

// The page's grid moves into the window while it is open; it goes back,
// read-only as it was, when the window closes.
void TfrmHTFHedit::borrowLines()
{
    m_linesHome = m_lines->parentWidget();
    if (auto* split = qobject_cast<QSplitter*>(m_linesHome))
        m_linesIndex = split->indexOf(m_lines);
    m_linesVisible = !m_lines->isHidden();
    m_linesColumns = m_lines->model()->columns();
    m_linesDelegate = m_lines->view()->itemDelegate();
    m_linesFooter = m_lines->footerVisible();
    m_lines->setParent(this);
    m_lines->setFooterVisible(true);
    m_lines->show();
    PrepareGoodsGrid(m_lines, QStringLiteral("t_FHdetail"));
    connect(m_lines, &DataGrid::cellButtonClicked, this, [this] { pickGoodsLines(); });
}

void TfrmHTFHedit::returnLines()
{
    if (!m_lines)
        return;
    disconnect(m_lines, nullptr, this, nullptr);
    RecordModel* model = m_lines->model();
    model->setEditable(false);
    QTableView* view = m_lines->view();
    for (int c = 0; c < model->columnCount(); ++c)
        view->setItemDelegateForColumn(c, nullptr);
    view->setItemDelegate(m_linesDelegate);
    model->setColumns(m_linesColumns);
    if (auto* split = qobject_cast<QSplitter*>(m_linesHome.data()))
        split->insertWidget(m_linesIndex, m_lines);
    else
        m_lines->setParent(m_linesHome);
    m_lines->applyColumns();
    m_lines->setFooterVisible(m_linesFooter);
    m_lines->setVisible(m_linesVisible);
    m_lines = nullptr;
}

void TfrmHTFHedit::readLines(const SqlParams& params)
{
    if (!m_lines)
        return;
    QString error;
    if (!m_lines->open(dmData()->db(), ShipmentStore::linesSql(), params, &error))
        ShowFailure(Messages::openFailed(), error);
}

void TfrmHTFHedit::clearFields()
{
    const QDate today = Clock::today();
    const AllocatedCode next = ShipmentStore::nextCode(dmData()->db(), today);
    m_code->setText(next.code);
    m_oldCode->clear();
    m_fhEmp->setCurrentText(QString());
    m_fhDate->setDate(today);
    m_shEmp->clear();
    m_shDate->setShownDate(today);
    m_shDate->setChecked(false);
    m_shAddress->clear();
    m_shPhone->clear();
    m_shHandPhone->clear();
    m_filePath->clear();
    m_memo->clear();
    readLines(ShipmentStore::noLinesParams());
}

void TfrmHTFHedit::loadFields()
{
    auto v = [this](const char* field) { return currentValue(QLatin1String(field)); };
    m_code->setText(v("F_code").toString());
    m_oldCode->setText(v("F_OLDcode").toString());
    m_fhEmp->setCurrentText(v("F_FHemp").toString());
    const QDate fh = StoredDate::parse(v("F_FHdate"));
    m_fhDate->setDate(fh.isValid() ? fh : Clock::today());
    m_shEmp->setText(v("F_SHemp").toString());
    m_shDate->setStoredDate(v("F_SHdate"));
    m_shAddress->setText(v("F_SHaddress").toString());
    m_shPhone->setText(v("F_SHphone").toString());
    m_shHandPhone->setText(v("F_SHhandPhone").toString());
    m_filePath->setText(v("F_FHfilePath").toString());
    m_memo->setPlainText(v("F_memo1").toString());
    // Pending line edits of the shipment left behind are dropped.
    readLines(ShipmentStore::linesParams(m_code->text()));
}

bool TfrmHTFHedit::checkFields()
{
    if (m_fhEmp->currentText().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("发货人不能为空！"), mkInfo);
        m_fhEmp->setFocus();
        return false;
    }
    return true;
}

bool TfrmHTFHedit::writeRecord(Database& db, qint64 id, qint64* savedId, QString* error)
{
    Shipment s;
    s.id = mode() == AddMode ? 0 : id;
    s.cltID = contractLink();
    s.code = m_code->text();
    s.oldCode = m_oldCode->text();
    s.fhEmp = m_fhEmp->currentText();
    s.fhDate = m_fhDate->date();
    s.shEmp = m_shEmp->text();
    s.shDateGiven = m_shDate->isChecked();
    s.shDate = m_shDate->date();
    s.shAddress = m_shAddress->text();
    s.shPhone = m_shPhone->text();
    s.shHandPhone = m_shHandPhone->text();
    s.filePath = m_filePath->text();
    s.memo1 = m_memo->toPlainText();
    s.operName = Session.OperName;
    RecordModel* lines = m_lines ? m_lines->model() : nullptr;
    if (lines)
        ShipmentStore::dropEmptyLines(lines);
    if (!ShipmentStore::save(db, &s, lines, ShipmentWriter::EditWindow, error))
        return false;
    *savedId = s.id;
    m_code->setText(s.code);
    return true;
}

QWidget* TfrmHTFHedit::firstField() const
{
    return m_fhEmp;
}

void TfrmHTFHedit::pickGoodsLines()
{
    if (!m_lines)
        return;
    const int cltID = contractLink();
    QString error;
    const int goods = ShipmentStore::contractGoodsCount(dmData()->db(), cltID, &error);
    if (goods < 0) {
        ShowFailure(Messages::openFailed(), error);
        return;
    }
    if (goods == 0) {
        ShowMess(QStringLiteral("此合同下没有待发货的合同货品，请查正后，再发货！"), mkError);
        return;
    }
    RecordModel* model = m_lines->model();
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ShipmentEditLines;
    target.contractId = cltID;
    target.addLine = [this, model](const GoodsLineValues& values) {
        m_lines->setCurrentRow(AppendGoodsLine(model, values));
    };
    PickerRegistry::addGoodsLines(target, this);
}

void TfrmHTFHedit::appendEmptyLine()
{
    if (m_lines)
        m_lines->setCurrentRow(m_lines->model()->appendRecord());
}

void TfrmHTFHedit::deleteCurrentLine()
{
    if (!m_lines || m_lines->currentRow() < 0)
        return;
    const int row = m_lines->currentRow();
    const QString name = m_lines->model()->text(row, QStringLiteral("F_GDname"));
    if (ShowMess(QStringLiteral("真的要删除当前合同发货明细为“%1”的记录吗？").arg(name),
                 mkQuestion) == 2)
        return;
    m_lines->model()->removeRows(row, 1);
}

int OpenShipmentEdit(SubRecordEdit::Mode mode, DataGrid* shipments, DataGrid* lines,
                     const QVariantMap& contract, QWidget* parent)
{
    TfrmHTFHedit window(shipments, lines, contract, parent);
    return window.Open(mode);
}

bool TfrmHTFHedit::hasPendingRows() const
{
    return m_lines && m_lines->model()->hasPendingChanges();
}
