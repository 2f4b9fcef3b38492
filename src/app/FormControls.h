#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace culvex {

enum class ControlKind { ListView, PushButton, Frame, CheckBox, OptionButton, TextBox };

// One control of the main window as designed. Positions and sizes are in twips (15 per
// pixel), relative to the container; an empty container is the window itself. The caption
// of a list view is its tool tip.
struct ControlDesign {
    const char* name;
    ControlKind kind;
    const char* caption;
    const char* container;
    int left;
    int top;
    int width;
    int height;
};

// Every control of the main window, containers before the controls they hold.
extern const ControlDesign kMainWindowControls[];
extern const int kMainWindowControlCount;

// The window's client size in pixels.
inline constexpr int kClientWidth = 1064;
inline constexpr int kClientHeight = 392;

int twipsToPixels(int twips);

// Creates every control on the window with its name, caption, font and geometry, and
// returns them by name.
void buildMainWindowControls(QWidget& window);

// Gives the window and each of its frames, option buttons, check boxes and labels the
// background colour.
void paintBackgrounds(QWidget& window, const QColor& colour);

// The window's text font (Arial 9 pt bold) and the push buttons' (Arial 11.25 pt bold).
QFont textFont();
QFont buttonFont();

}  // namespace culvex
