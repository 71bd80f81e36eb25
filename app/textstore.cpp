#include "app/textstore.h"

#include <QTextDocument>
#include <QTextEdit>

TextStoreLayout::TextStoreLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document) {}

void TextStoreLayout::draw(QPainter*, const PaintContext&) {}

int TextStoreLayout::hitTest(const QPointF&, Qt::HitTestAccuracy) const
{
    return -1;
}

int TextStoreLayout::pageCount() const
{
    return 1;
}

QSizeF TextStoreLayout::documentSize() const
{
    return QSizeF();
}

QRectF TextStoreLayout::frameBoundingRect(QTextFrame*) const
{
    return QRectF();
}

QRectF TextStoreLayout::blockBoundingRect(const QTextBlock&) const
{
    return QRectF();
}

void TextStoreLayout::documentChanged(int, int, int) {}

void makeTextStore(QTextEdit* edit)
{
    auto* document = new QTextDocument(edit);
    document->setDocumentLayout(new TextStoreLayout(document));
    document->setUndoRedoEnabled(false);
    edit->setDocument(document);
}
