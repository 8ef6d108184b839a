#pragma once

#include "maintenance/Spreadsheet.h"
#include "maintenance/SpreadsheetImport.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTableWidget;

// The rows a sheet or the preview shows; the preview's cells can be edited
// and its rejected cells are marked.
class ImportRowsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void showSheet(const SpreadsheetSheet* sheet);
    void showBatch(SpreadsheetImport::Batch* batch, const SpreadsheetImport::Checked* checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void removeBatchRows(QList<int> rows);
    void changed();

private:
    QString problemAt(int row, int column) const;

    const SpreadsheetSheet* m_sheet = nullptr;
    SpreadsheetImport::Batch* m_batch = nullptr;
    const SpreadsheetImport::Checked* m_checked = nullptr;
    QHash<quint64, QString> m_problems;
};

// "Excel 数据导入": the four-page wizard that takes contracts or counterpart
// units over from a spreadsheet file. Every cell is converted for its
// column; rejected cells are marked and listed, and "完成" writes nothing
// while one is left. One transaction writes every row.
class ImportWizard : public QDialog
{
    Q_OBJECT
public:
    // kind: "contract" or "client".
    explicit ImportWizard(const QString& kind, QWidget* parent = nullptr);

    int step() const { return m_step; }
    // "下一步" / "完成" and "上一步".
    void next();
    void previous();
    // The preview's pop-up menu on the selected rows.
    void batchChangeColumn();
    void deleteSelectedRows();
    bool written() const { return m_written; }

    QString samplePath() const;
    QStringList problemTexts() const;

private:
    void showStep();
    bool openFile();
    void chooseSheet(int index);
    void buildMapping();
    void buildPreview();
    void recheck();
    void finish();
    void reject() override;

    QString m_kind;
    int m_step = 0;
    bool m_written = false;
    bool m_busy = false;
    bool m_cancelRequested = false;
    Spreadsheet m_book;
    const SpreadsheetSheet* m_sheet = nullptr;
    QList<SpreadsheetImport::Mapping> m_mapping;
    SpreadsheetImport::Batch m_batch;
    SpreadsheetImport::Checked m_checked;

    QLabel* m_pageTitle;
    QStackedWidget* m_pages;
    QLineEdit* m_sampleEdit;
    QLineEdit* m_fileEdit;
    QListWidget* m_sheetList;
    QTableView* m_sheetView;
    ImportRowsModel* m_sheetModel;
    QTableWidget* m_mappingGrid;
    QLabel* m_missingLabel;
    QTableView* m_previewView;
    ImportRowsModel* m_previewModel;
    QListWidget* m_problemList;
    QLabel* m_summaryLabel;
    QProgressBar* m_progress;
    QPushButton* m_prevButton;
    QPushButton* m_nextButton;
    QPushButton* m_cancelButton;
};

// Runs the wizard modally for "contract" or "client"; true when rows were written.
bool ImportFromSpreadsheet(const QString& kind, QWidget* parent = nullptr);
