#pragma once

#include <QDialog>
#include <QImage>

#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;

// The image window: one scanned page at a chosen zoom, with the command that
// replaces its picture by a picture file. Closing hands back the name and
// the picture now shown (the file's full path after a replacement).
class TfrmImageDisp : public QDialog
{
    Q_OBJECT
public:
    struct Result
    {
        QString name;
        QImage image;
    };
    // Stands in for the modal window when set (tests).
    using Hook = std::function<Result(const QString& name, const QImage& image)>;

    explicit TfrmImageDisp(QWidget* parent = nullptr);

    // Shows the picture modally and returns what the window holds at the end.
    static Result open(const QString& name, const QImage& image, QWidget* parent = nullptr);
    static void setHook(Hook hook);

    void setImage(const QString& name, const QImage& image);
    QString imageName() const { return m_name; }
    QImage image() const { return m_image; }

    // Zoom: the steps run from 5% to 1000%; fit shows the whole picture.
    double zoomFactor() const { return m_factor; }
    void zoomIn();
    void zoomOut();
    void originalSize();
    void fitToWindow();

    // Asks for a picture file and shows it; false when cancelled or the file
    // cannot be read (the previous picture and name then stay).
    bool replaceFromFile();

    static QString pictureFilter();
    static QString readErrorText(const QString& name);

private:
    void showAt(double factor);
    void updateStatus();

    QString m_name;
    QImage m_image;
    double m_factor = 1.0;
    QScrollArea* m_scroll;
    QLabel* m_picture;
    QLabel* m_status;
    QPushButton* m_zoomIn;
    QPushButton* m_zoomOut;
    static Hook s_hook;
};
