#include "platform/DispFormPos.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

QString sizeKey(const QWidget* w)
{
    const QString name = w->objectName().isEmpty()
                             ? QString::fromLatin1(w->metaObject()->className())
                             : w->objectName();
    return QStringLiteral("windowSize/") + name;
}

// Remembers the size of a placed window when it is hidden or closed.
class SizeKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) {
            auto* w = static_cast<QWidget*>(watched);
            if (!w->isMaximized() && !w->isMinimized())
                QSettings().setValue(sizeKey(w), w->size());
        }
        return false;
    }
};

} // namespace

void DispFormPos(QWidget* window, int mode)
{
    if (!window)
        return;
    QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry() : avail;

    QSize size = QSettings().value(sizeKey(window)).toSize();
    if (!size.isValid()) {
        size = window->size().expandedTo(window->sizeHint());
        if (mode == fpList)
            size = size.expandedTo(area.size() * 0.85);
    }
    size = size.expandedTo(window->minimumSizeHint()).boundedTo(avail.size());
    window->resize(size);

    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(area.center());
    // Keep the title bar on the screen.
    frame.moveLeft(qBound(avail.left(), frame.left(), avail.right() - frame.width() + 1));
    frame.moveTop(qBound(avail.top(), frame.top(), avail.bottom() - frame.height() + 1));
    window->move(frame.topLeft());

    if (!window->findChild<SizeKeeper*>(QString(), Qt::FindDirectChildrenOnly))
        window->installEventFilter(new SizeKeeper(window));
}
