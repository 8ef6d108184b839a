#pragma once

#include <QWidget>

class QLabel;

// Borderless start-up window: the product picture with one status line.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows the text and paints at once: start-up blocks the event loop.
    void setStatus(const QString& text);
    QString status() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_status;
};
