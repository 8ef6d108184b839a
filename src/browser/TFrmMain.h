#pragma once

#include <QMainWindow>

class QLabel;

// The main window: hub of the program.
class TFrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
};
