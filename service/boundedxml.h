#ifndef CORVANE_SERVICE_BOUNDEDXML_H
#define CORVANE_SERVICE_BOUNDEDXML_H

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVector>
#include <QXmlStreamReader>

namespace service {

// The deepest nesting any reader of the service's answers follows. Real answers stay below ten
// levels; a deeper document is read like a malformed one, up to the point where it goes too deep.
constexpr int maxDocumentDepth = 64;

// A streaming XML reader that counts how deep it is and raises an error, as for a malformed
// document, at an element deeper than maxDocumentDepth. Nothing it does recurses, so no
// document decides how much of the client's stack it takes (QXmlStreamReader's own
// readElementText with IncludeChildElements calls itself once per level).
class BoundedXmlReader
{
public:
    BoundedXmlReader() = default;
    explicit BoundedXmlReader(const QString& document) : xml(document) {}
    explicit BoundedXmlReader(const QByteArray& document) : xml(document) {}

    struct InPieces
    {
    };
    // Hands the text to the stream reader a piece at a time, as it needs it, instead of as one
    // converted copy: a catalogue of megabytes is then read in memory that stays small and warm.
    // Character data may come in more than one token; the tokens are otherwise the same.
    // With a lead, the reader first reads the lead and then the document from `from` on.
    BoundedXmlReader(const QString& document, InPieces, int from = 0, const QString& lead = QString())
        : whole(document), fed(from)
    {
        if (!lead.isEmpty())
            xml.addData(lead);
        feed();
    }

    void addData(const QString& data) { xml.addData(data); }

    QXmlStreamReader::TokenType readNext();
    // Reads up to the next start element inside the current one; false at its end tag.
    bool readNextStartElement();
    // Reads through the end tag of the current element.
    void skipCurrentElement();
    // The character data of the current element and of all elements inside it; reads through
    // its end tag. Empty with an error when the document breaks off or goes too deep.
    QString readElementText();

    int depth() const { return level; }
    // The deepest level any element has reached so far.
    int deepest() const { return deepestLevel; }
    // From now on, keeps where each open element's start tag begins (character offsets).
    void keepOpenedAt() { keepOpened = true; }
    const QVector<qint64>& openedAt() const { return opened; }
    bool atEnd() const { return xml.atEnd(); }
    bool hasError() const { return xml.hasError(); }
    QXmlStreamReader::Error error() const { return xml.error(); }
    QString errorString() const { return xml.errorString(); }
    qint64 characterOffset() const { return xml.characterOffset(); }
    QXmlStreamReader::TokenType tokenType() const { return xml.tokenType(); }
    bool isStartElement() const { return xml.isStartElement(); }
    bool isEndElement() const { return xml.isEndElement(); }
    bool isCharacters() const { return xml.isCharacters(); }
    QStringView name() const { return xml.name(); }
    QStringView text() const { return xml.text(); }

private:
    bool feed();

    QXmlStreamReader xml;
    int level = 0;
    int deepestLevel = 0;
    bool keepOpened = false;
    QVector<qint64> opened;
    QString whole; // what is not handed over yet, when read in pieces
    int fed = 0;
};

} // namespace service

#endif
