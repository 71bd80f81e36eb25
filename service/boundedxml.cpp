#include "service/boundedxml.h"

namespace service {

QXmlStreamReader::TokenType BoundedXmlReader::readNext()
{
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++level > maxDocumentDepth) {
            xml.raiseError(QStringLiteral("Elements nested deeper than %1 levels.").arg(maxDocumentDepth));
            return QXmlStreamReader::Invalid;
        }
    } else if (token == QXmlStreamReader::EndElement) {
        --level;
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
