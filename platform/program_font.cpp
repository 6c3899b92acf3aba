#include "platform/program_font.h"

#include <QApplication>
#include <QFont>

namespace yejian::platform {

void apply_program_font()
{
    QFont font(QString::fromLatin1(program_font_family));
    font.setPixelSize(program_font_pixel_size);
    // Without the font installed, fall back to any sans-serif face that has CJK glyphs.
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

} // namespace yejian::platform
