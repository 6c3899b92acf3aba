#pragma once
// A label: text with CR LF line breaks, a text colour, optionally the hand cursor, and a
// signal for a press of the left mouse button.
//
// Lines are drawn top-left, one every font pixel size (12 px for the program font), the way
// the windows' tables were laid out; the font's own line spacing (14 px) would push the
// last lines of several labels out of their rectangles or onto the next control.

#include "platform/control_place.h"

#include <QColor>
#include <QSize>
#include <QStringList>
#include <QWidget>

#include <string>
#include <string_view>

namespace yejian::platform {

class Label : public QWidget {
    Q_OBJECT
public:
    Label(QWidget* window, const char* form_name, ControlPlace place, std::string_view text,
          QColor text_colour);

    std::string get_text() const { return text_; }
    void set_text(std::string_view text);

    QColor text_colour() const;
    void set_text_colour(QColor colour);
    void show_hand_cursor();

    // The lines as drawn: CR LF, a lone LF and a lone CR each end a line.
    const QStringList& lines() const { return lines_; }
    int line_pitch() const;
    // The room the text takes from the label's top-left corner (the last line's descent
    // included); a text fits when this is within the label's size.
    QSize text_extent() const;

    QSize sizeHint() const override { return text_extent(); }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::string text_;
    QStringList lines_;
};

} // namespace yejian::platform
