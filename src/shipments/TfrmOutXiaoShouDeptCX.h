#pragma once

#include "common/ListScreen.h"
#include "shipments/ShipmentStore.h"

class CheckedDate;
class QComboBox;
class QLineEdit;
class QToolButton;

// "合同发货查询": shipments found by shipping and receipt dates, people,
// voucher, contract and the goods on their lines. "编辑" opens the shipment
// management window on today; a double click on a row opens it on that
// shipment's entry day, standing on the shipment.
//
// Children: those of ListScreen with the leading command tbEdit "编辑";
// criteria dtpFHfrom, dtpFHto, dtpSHfrom, dtpSHto, cbbFHemp, edtOLDcode,
// edtHTname with btnSelectContract, edtSHemp, edtSHphone, edtSHaddress,
// edtGDcode with btnGoodsCode (shown while a goods picker is registered),
// edtGDname, cbbGDtype.
class TfrmOutXiaoShouDeptCX : public ListScreen
{
    Q_OBJECT
public:
    explicit TfrmOutXiaoShouDeptCX(QWidget* parent = nullptr);

    // The criteria as the controls hold them.
    ShipmentQueryCriteria queryCriteria() const;

    CheckedDate* shippingFrom() const { return m_fhFrom; }
    CheckedDate* shippingTo() const { return m_fhTo; }
    CheckedDate* receiptFrom() const { return m_shFrom; }
    CheckedDate* receiptTo() const { return m_shTo; }
    QComboBox* shipperBox() const { return m_fhEmp; }
    QLineEdit* oldCodeEdit() const { return m_oldCode; }
    QLineEdit* contractNameEdit() const { return m_htName; }
    QLineEdit* consigneeEdit() const { return m_shEmp; }
    QLineEdit* phoneEdit() const { return m_shPhone; }
    QLineEdit* addressEdit() const { return m_shAddress; }
    QLineEdit* goodsCodeEdit() const { return m_gdCode; }
    QLineEdit* goodsNameEdit() const { return m_gdName; }
    QComboBox* goodsTypeBox() const { return m_gdType; }
    QToolButton* goodsCodeButton() const { return m_gdCodeButton; }

    // "编辑" and the double click.
    void openManagement();
    void openCurrentShipment();
    void pickContract();
    void pickGoodsCode();

protected:
    bool query(QString* error) override;

private:
    void buildCriteria();

    CheckedDate* m_fhFrom = nullptr;
    CheckedDate* m_fhTo = nullptr;
    CheckedDate* m_shFrom = nullptr;
    CheckedDate* m_shTo = nullptr;
    QComboBox* m_fhEmp = nullptr;
    QLineEdit* m_oldCode = nullptr;
    QLineEdit* m_htName = nullptr;
    QLineEdit* m_shEmp = nullptr;
    QLineEdit* m_shPhone = nullptr;
    QLineEdit* m_shAddress = nullptr;
    QLineEdit* m_gdCode = nullptr;
    QToolButton* m_gdCodeButton = nullptr;
    QLineEdit* m_gdName = nullptr;
    QComboBox* m_gdType = nullptr;
};
