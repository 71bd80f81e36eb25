#ifndef CORVANE_ELIDEDLABEL_H
#define CORVANE_ELIDEDLABEL_H

#include <QLabel>

class QFontMetrics;

// Each line of the text cut to the width with "…" where it does not fit.
QString elideLines(const QString& text, const QFontMetrics& metrics, int width);

// A tooltip that shows `text` as it is. A tooltip takes anything that looks like markup for
// rich text, and a server name of nested tables could then hang or crash the window; this one
// is a paragraph of escaped text, cut after a thousand characters.
QString plainToolTip(const QString& text);

// A label of fixed size for texts that can be longer than it: every line that does not fit
// is drawn cut with "…", and then the whole text is its tool tip. The text itself stays
// whole, so whoever reads it back gets what was written.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as drawn: the text itself while it fits.
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;
    void updateToolTip(bool elided);
};

#endif
