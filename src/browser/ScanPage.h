#pragma once

#include "records/ScanStore.h"

#include <QIcon>
#include <QList>
#include <QWidget>

class QListWidget;

// The scanned pages of the current contract as thumbnails (80 x 80, the
// picture fitted into 64 x 64), with the page commands that act on the
// selected thumbnail: add from a picture file, view or replace through the
// image window, rename, delete.
class ScanPage : public QWidget
{
    Q_OBJECT
public:
    explicit ScanPage(QWidget* parent = nullptr);

    // Reads the pages of the contract (link number) and rebuilds the
    // thumbnails; -1 for no current contract.
    void setContract(int cltID);
    int contract() const { return m_cltID; }
    // Rebuilds the thumbnails from the database for the same contract.
    void reload();

    int count() const;
    int currentIndex() const; // -1 when nothing is selected
    void setCurrentIndex(int index);

    // The page commands.
    void addScan();
    void viewOrReplace();
    void renameScan();
    void deleteScan();

signals:
    // A thumbnail was double-clicked ("修改" when that command is visible).
    void activated();

private:
    // The page of the selected thumbnail; nullptr with nothing selected.
    ScannedPage* selectedPage();
    void buildThumbnails();
    QIcon thumbnail(const QImage& picture) const;
    static QImage gifPlaceholder();
    // Loads and encodes a picture file for storing under its extension;
    // empty when the file cannot be read.
    static QByteArray readPictureFile(const QString& path);

    QListWidget* m_view = nullptr;
    int m_cltID = -1;
    QList<ScannedPage> m_pages; // in record order; items hold their index
};
