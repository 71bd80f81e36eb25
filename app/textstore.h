#ifndef CORVANE_TEXTSTORE_H
#define CORVANE_TEXTSTORE_H

#include <QAbstractTextDocumentLayout>

class QTextEdit;

// A layout for documents that are only kept and read back as text, never shown: it lays out
// nothing, so storing a multi-megabyte document costs no more than copying it.
class TextStoreLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit TextStoreLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
};

// Gives a text widget of the state store a document with the layout above.
void makeTextStore(QTextEdit* edit);

#endif
