#include "app/FormControls.h"

#include "filelist/FileListView.h"
#include "output/ResultsView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <limits>

namespace culvex {

namespace {
using enum ControlKind;
}  // namespace

// clang-format off
const ControlDesign kMainWindowControls[] = {
    // name           kind          caption                                      container  left   top    width  height
    {"ListView1",    ListView,     "Drag and drop files here. Double-click item to remove it. "
                                   "Move | line to right and out of window to reveal full names.",
                                                                                 "",        120,   120,   7800,  1875},
    {"PushButton1",  PushButton,   "Add CSV File(s)",                            "",        120,   2090,  3840,  405},
    {"PushButton4",  PushButton,   "Add All CSV File(s) In Folder",              "",        4080,  2090,  3840,  405},
    {"PushButton3",  PushButton,   "Clear List",                                 "",        120,   2600,  3840,  405},
    {"PushButton11", PushButton,   "Load Sample/Example Files",                  "",        4080,  2600,  3840,  405},
    {"Frame3",       Frame,        "",                                           "",        120,   3030,  7800,  2740},
    {"Check1",       CheckBox,     "Extract columns by start and end position",  "Frame3",  240,   0,     3915,  255},
    {"Frame1",       Frame,        "Start",                                      "Frame3",  360,   300,   7080,  1095},
    {"Option1",      OptionButton, "Number for start position:",                 "Frame1",  240,   300,   2535,  255},
    {"Option2",      OptionButton, "Unique character(s) for start position:",    "Frame1",  240,   650,   3495,  255},
    {"Text1",        TextBox,      "",                                           "Frame1",  3840,  240,   3015,  345},
    {"Text2",        TextBox,      "",                                           "Frame1",  3840,  600,   3015,  345},
    {"Frame2",       Frame,        "End",                                        "Frame3",  360,   1440,  7080,  1095},
    {"Option3",      OptionButton, "Number for end position:",                   "Frame2",  240,   300,   2535,  255},
    {"Option4",      OptionButton, "Unique character(s) for end position:",      "Frame2",  240,   650,   3495,  255},
    {"Text3",        TextBox,      "",                                           "Frame2",  3840,  240,   3015,  345},
    {"Text4",        TextBox,      "",                                           "Frame2",  3840,  600,   3015,  345},
    {"Frame4",       Frame,        "Column separated by these character(s)",     "",        8040,  60,    7800,  2175},
    {"Option7",      OptionButton, "Space",                                      "Frame4",  240,   300,   855,   255},
    {"Option8",      OptionButton, "Comma-Space",                                "Frame4",  240,   650,   1575,  255},
    {"Option9",      OptionButton, "Comma",                                      "Frame4",  240,   1000,  975,   255},
    {"Option10",     OptionButton, "Tab",                                        "Frame4",  240,   1350,  615,   255},
    {"Option11",     OptionButton, "Others:",                                    "Frame4",  240,   1700,  975,   255},
    {"Text5",        TextBox,      "",                                           "Frame4",  1320,  1680,  3600,  345},
    {"PushButton7",  PushButton,   "Extract Columns From File(s)",               "",        8040,  2360,  7800,  405},
    {"ListView2",    ListView,     "Double-click item to remove it. "
                                   "Move | line to right and out of window to reveal full names.",
                                                                                 "",        8040,  2850,  7800,  1410},
    {"PushButton6",  PushButton,   "Save Results As Text File",                  "",        8040,  4350,  3840,  405},
    {"PushButton2",  PushButton,   "Save As Comma Delim. Text File",             "",        12000, 4350,  3840,  405},
    {"PushButton5",  PushButton,   "Save Results As Excel File",                 "",        8040,  4860,  3840,  405},
    {"PushButton8",  PushButton,   "Copy Results To Clipboard",                  "",        12000, 4860,  3840,  405},
    {"PushButton9",  PushButton,   "Clear Results",                              "",        8040,  5370,  3840,  405},
    {"PushButton10", PushButton,   "Help",                                       "",        12000, 5370,  3840,  405},
};
// clang-format on
const int kMainWindowControlCount = std::size(kMainWindowControls);

int twipsToPixels(int twips) { return (twips + 7) / 15; }

QFont textFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.0);
    font.setWeight(QFont::Bold);
    return font;
}

QFont buttonFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setWeight(QFont::Bold);
    return font;
}

void paintBackgrounds(QWidget& window, const QColor& colour) {
    const auto paint = [&colour](QWidget& widget) {
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Window, colour);
        widget.setPalette(palette);
        widget.setBackgroundRole(QPalette::Window);
        widget.setAutoFillBackground(true);
    };
    paint(window);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (qobject_cast<QGroupBox*>(control) || qobject_cast<QRadioButton*>(control) ||
            qobject_cast<QCheckBox*>(control) || qobject_cast<QLabel*>(control)) {
            paint(*control);
        }
    }
}

namespace {

QWidget* createControl(const ControlDesign& design, QWidget* container) {
    const QString caption = QString::fromUtf8(design.caption);
    switch (design.kind) {
        case ListView: {
            // The file list takes drops and drags of its own entries; the results list
            // shows rows of any number without keeping anything per row.
            QAbstractItemView* view = nullptr;
            if (qstrcmp(design.name, "ListView1") == 0) {
                view = new FileListView(container);
            } else {
                view = new ResultsView(container);
            }
            view->setToolTip(caption);
            return view;
        }
        case PushButton:
            return new QPushButton(caption, container);
        case Frame:
            return new QGroupBox(caption, container);
        case CheckBox:
            return new QCheckBox(caption, container);
        case OptionButton:
            return new QRadioButton(caption, container);
        case TextBox: {
            // No length limit: a stored text of any length comes back whole.
            auto* box = new QLineEdit(container);
            box->setMaxLength(std::numeric_limits<int>::max());
            return box;
        }
    }
    return nullptr;
}

}  // namespace

void buildMainWindowControls(QWidget& window) {
    QHash<QString, QWidget*> controls;
    for (const ControlDesign& design : kMainWindowControls) {
        QWidget* container =
            *design.container ? controls.value(QString::fromLatin1(design.container)) : &window;
        QWidget* control = createControl(design, container);
        control->setObjectName(QString::fromUtf8(design.name));
        control->setFont(design.kind == PushButton ? buttonFont() : textFont());
        control->setGeometry(twipsToPixels(design.left), twipsToPixels(design.top),
                             twipsToPixels(design.width), twipsToPixels(design.height));
        controls.insert(control->objectName(), control);
    }
}

}  // namespace culvex
