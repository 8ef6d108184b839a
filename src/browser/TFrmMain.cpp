#include "browser/TFrmMain.h"

#include "app/StartUp.h"
#include "data/TdmData.h"

#include <QLabel>
#include <QStatusBar>

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TFrmMain"));
    setWindowTitle(StartUp::applicationTitle());
    resize(1100, 720);

    auto* placeholder = new QLabel(StartUp::applicationTitle(), this);
    placeholder->setAlignment(Qt::AlignCenter);
    QFont f = placeholder->font();
    f.setPixelSize(24);
    placeholder->setFont(f);
    setCentralWidget(placeholder);

    auto* dbLabel = new QLabel(this);
    dbLabel->setObjectName(QStringLiteral("lblDatabase"));
    if (TdmData* dm = dmData())
        dbLabel->setText(QStringLiteral("数据库：") + dm->db().filePath());
    statusBar()->addWidget(dbLabel);
}
