#include "app/StartUp.h"
#include "platform/QtUserDialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    StartUp::prepareApplication(app);

    QtUserDialogs dialogs;
    UserDialogs::install(&dialogs);

    int rc = 0;
    {
        StartUp startUp;
        if (startUp.run())
            rc = app.exec();
    }
    UserDialogs::install(nullptr);
    return rc;
}
