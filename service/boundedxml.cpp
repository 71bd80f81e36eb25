#include "service/boundedxml.h"

namespace service {

namespace {
constexpr int pieceSize = 1 << 16;
}

bool BoundedXmlReader::feed()
{
    if (fed >= whole.size())
        return false;
    int end = qMin(fed + pieceSize, whole.size());
    // A pair of surrogates stays together.
    if (end < whole.size() && whole.at(end - 1).isHighSurrogate())
        ++end;
    // The stream reader converts the piece at once; the text outlives it.
    xml.addData(QString::fromRawData(whole.constData() + fed, end - fed));
    fed = end;
    return true;
}

QXmlStreamReader::TokenType BoundedXmlReader::readNext()
{
    const qint64 start = keepOpened ? xml.characterOffset() : 0;
    QXmlStreamReader::TokenType token = xml.readNext();
    while (token == QXmlStreamReader::Invalid &&
           xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && feed())
        token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++level > maxDocumentDepth) {
            xml.raiseError(QStringLiteral("Elements nested deeper than %1 levels.").arg(maxDocumentDepth));
            return QXmlStreamReader::Invalid;
        }
        deepestLevel = qMax(deepestLevel, level);
        if (keepOpened)
            opened.append(start);
    } else if (token == QXmlStreamReader::EndElement) {
        --level;
        if (keepOpened && !opened.isEmpty())
            opened.removeLast();
    }
    return token;
}

bool BoundedXmlReader::readNextStartElement()
{
    while (readNext() != QXmlStreamReader::Invalid) {
        if (isEndElement())
            return false;
        if (isStartElement())
            return true;
    }
    return false;
}

void BoundedXmlReader::skipCurrentElement()
{
    const int end = level - 1;
    while (level > end && readNext() != QXmlStreamReader::Invalid) {
    }
}

QString BoundedXmlReader::readElementText()
{
    QString text;
    if (!isStartElement())
        return text;
    const int end = level - 1;
    while (level > end) {
        switch (readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            text += xml.text();
            break;
        case QXmlStreamReader::Invalid:
            return QString();
        default:
            break;
        }
    }
    return text;
}

} // namespace service
