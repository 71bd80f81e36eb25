#include "app/elidedlabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

QString elideLines(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

QString plainToolTip(const QString& text)
{
    if (text.isEmpty())
        return QString();
    constexpr int longest = 1000;
    const QString shown = text.size() > longest ? text.left(longest) + QStringLiteral("…") : text;
    // Escaped, with its blanks and line ends kept as they are.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + shown.toHtmlEscaped() +
           QStringLiteral("</p>");
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

QString ElidedLabel::shownText() const
{
    const QFontMetrics metrics(font());
    const QRect area = textArea();
    QStringList lines = elideLines(text(), metrics, area.width()).split(QLatin1Char('\n'));
    // Lines below the label's height would be cut in half; the last one that fits says
    // that more follows.
    const int fitting = qMax(1, (area.height() + metrics.leading()) / metrics.lineSpacing());
    if (lines.size() > fitting) {
        lines = lines.mid(0, fitting);
        lines.last() = metrics.elidedText(lines.last() + QStringLiteral("…"), Qt::ElideRight, area.width());
    }
    return lines.join(QLatin1Char('\n'));
}

bool ElidedLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        updateToolTip(shownText() != text());
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    const bool elided = shown != text();
    updateToolTip(elided);
    if (!elided) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, textArea(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

QRect ElidedLabel::textArea() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

void ElidedLabel::updateToolTip(bool elided)
{
    setToolTip(elided ? plainToolTip(text()) : QString());
}
