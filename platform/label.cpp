#include "platform/label.h"

#include "platform/qt_text.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace yejian::platform {

Label::Label(QWidget* window, const char* form_name, ControlPlace place, std::string_view text,
             QColor text_colour)
    : QWidget(window)
{
    place_control(*this, form_name, place);
    set_text_colour(text_colour);
    set_text(text);
}

void Label::set_text(std::string_view text)
{
    text_.assign(text);
    QString lines = to_qstring(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines_ = lines.split(QLatin1Char('\n'));
    update();
}

QColor Label::text_colour() const
{
    return palette().color(QPalette::WindowText);
}

void Label::set_text_colour(QColor colour)
{
    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::WindowText, colour);
    setPalette(colours);
}

void Label::show_hand_cursor()
{
    setCursor(Qt::PointingHandCursor);
}

int Label::line_pitch() const
{
    const int pixel_size = font().pixelSize();
    return pixel_size > 0 ? pixel_size : fontMetrics().height();
}

QSize Label::text_extent() const
{
    const QFontMetrics metrics = fontMetrics();
    int width = 0;
    int last_drawn = -1; // empty lines take room but draw nothing
    for (int i = 0; i < lines_.size(); ++i) {
        width = std::max(width, metrics.horizontalAdvance(lines_[i]));
        if (!lines_[i].isEmpty())
            last_drawn = i;
    }
    const int height = last_drawn < 0 ? 0 : last_drawn * line_pitch() + metrics.height();
    return {width, height};
}

void Label::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(text_colour());
    const int line_height = fontMetrics().height();
    for (int i = 0; i < lines_.size(); ++i) {
        painter.drawText(QRect(0, i * line_pitch(), width(), line_height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines_[i]);
    }
}

void Label::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed();
    QWidget::mousePressEvent(event);
}

} // namespace yejian::platform
