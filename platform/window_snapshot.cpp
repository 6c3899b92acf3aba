#include "platform/window_snapshot.h"

#include "platform/top_level_window.h"
#include "platform/window_frame.h"

#include <QPainter>
#include <QPixmap>

namespace yejian::platform {
namespace {

void draw_caption_button(QPainter& painter, QRect box, const QString& symbol)
{
    painter.fillRect(box, QColor(212, 208, 200));
    painter.setPen(Qt::black);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(box, Qt::AlignCenter, symbol);
}

} // namespace

QImage snapshot_window(TopLevelWindow& window)
{
    const QSize outer = window.outer_size();
    QImage picture(outer, QImage::Format_RGB32);
    picture.fill(QColor(212, 208, 200));

    QPainter painter(&picture);
    const QRect caption(frame_border_width, frame_border_width,
                        outer.width() - 2 * frame_border_width, frame_caption_height);
    painter.fillRect(caption, QColor(10, 36, 106));
    painter.setFont(window.font());
    painter.setPen(Qt::white);
    painter.drawText(caption.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     window.windowTitle());

    const int button = frame_caption_height - 4;
    QRect box(caption.right() - 1 - button, caption.top() + 2, button, button);
    draw_caption_button(painter, box, QStringLiteral("×"));
    if (window.windowFlags() & Qt::WindowMinimizeButtonHint)
        draw_caption_button(painter, box.translated(-button - 2, 0), QStringLiteral("_"));

    painter.drawPixmap(frame_border_width, frame_border_width + frame_caption_height,
                       window.grab());
    return picture;
}

bool save_window_snapshot(TopLevelWindow& window, const std::string& png_path)
{
    return snapshot_window(window).save(QString::fromStdString(png_path), "PNG");
}

} // namespace yejian::platform
