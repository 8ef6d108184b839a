#include "platform/LegacyText.h"

#include <QStringDecoder>
#include <QTextCodec>

namespace LegacyText {

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    Q_UNUSED(ignored);
    return !decoder.hasError();
}

QString decode(const QByteArray& bytes)
{
    if (isValidUtf8(bytes)) {
        QByteArray data = bytes;
        if (data.startsWith("\xEF\xBB\xBF"))
            data.remove(0, 3);
        return QString::fromUtf8(data);
    }
    if (QTextCodec* gbk = QTextCodec::codecForName("GBK"))
        return gbk->toUnicode(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace LegacyText
