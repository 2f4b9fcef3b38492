// The extraction settings panel of the main window: option groups, number and marker
// boxes and the range check box, each storing its state the moment it changes, and their
// restore from the store at start-up.
#include "app/Form1.h"
#include "command/AppSettings.h"
#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "command/TypedNumbers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace culvex {

namespace {

// The panel's handlers have no error report: a store that refuses a write leaves the
// control as the user set it and the program goes on.
template <class Body>
void absorbFailure(Body&& body) {
    try {
        body();
    } catch (...) {
    }
}

constexpr int kStartOptions[] = {1, 2};
constexpr int kEndOptions[] = {3, 4};
constexpr int kSeparatorOptions[] = {7, 8, 9, 10, 11};

// Tab enters a group on its selected button (on its first when none is), so that the
// space bar there cannot change the choice unseen; the arrow keys still reach the others.
void tabToTheSelected(const QButtonGroup& group) {
    const QList<QAbstractButton*> buttons = group.buttons();
    const QAbstractButton* entry =
        group.checkedButton() != nullptr ? group.checkedButton() : buttons.value(0);
    for (QAbstractButton* button : buttons) {
        button->setFocusPolicy(button == entry ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

}  // namespace

void Form1::connectPanel() {
    for (int frameNumber : {1, 2, 4}) {
        optionGroups_[frameNumber] = new QButtonGroup(frames_[frameNumber]);
    }
    for (int n : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
        groupOf(n)->addButton(options_[n], n);
        connect(options_[n], &QAbstractButton::toggled, this, [this, n](bool selected) {
            tabToTheSelected(*groupOf(n));
            if (selected) {
                absorbFailure([&] { runOptionClick(n); });
            }
        });
    }
    for (int n = 1; n <= 5; ++n) {
        connect(texts_[n], &QLineEdit::textChanged, this,
                [this, n] { absorbFailure([&] { runTextChange(n); }); });
    }
    connect(check1_, &QCheckBox::toggled, this, [this] { absorbFailure([&] { Check1_Click(); }); });
    texts_[1]->installEventFilter(this);
    texts_[3]->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        hover(watched, *event);
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Putting the focus back into one number box must not run the other box's test,
        // or two boxes that both fail would hand the focus and the message back and forth.
        const bool leftTheBox = reason != Qt::ActiveWindowFocusReason &&
                                reason != Qt::PopupFocusReason && !returningFocus_;
        // The test runs once the focus has settled on its new widget, so that putting it
        // back into the box is not undone by the change still in progress.
        if (leftTheBox && (watched == texts_[1] || watched == texts_[3])) {
            pendingNumericBox_ = watched == texts_[1] ? 1 : 3;
            QMetaObject::invokeMethod(
                this, [this] { runPendingNumericTest(); }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::runOptionClick(int number) {
    switch (number) {
        case 1:
            return Option1_Click();
        case 2:
            return Option2_Click();
        case 3:
            return Option3_Click();
        case 4:
            return Option4_Click();
        case 7:
            return Option7_Click();
        case 8:
            return Option8_Click();
        case 9:
            return Option9_Click();
        case 10:
            return Option10_Click();
        case 11:
            return Option11_Click();
    }
}

void Form1::runTextChange(int number) {
    switch (number) {
        case 1:
            return Text1_Change();
        case 2:
            return Text2_Change();
        case 3:
            return Text3_Change();
        case 4:
            return Text4_Change();
        case 5:
            return Text5_Change();
    }
}

void Form1::storeOptions(std::span<const int> numbers) {
    SettingsBatch batch(platform_.settings);
    for (int n : numbers) {
        platform_.settings.write(keys::option(n), booleanSetting(options_[n]->isChecked()));
    }
}

void Form1::storeText(int number) {
    SettingsBatch batch(platform_.settings);
    platform_.settings.write(keys::text(number), texts_[number]->text());
}

void Form1::Check1_Click() {
    SettingsBatch batch(platform_.settings);
    platform_.settings.write(keys::kCheck1, QString::number(check1Value()));
}

void Form1::Option1_Click() { storeOptions(kStartOptions); }
void Form1::Option2_Click() { storeOptions(kStartOptions); }
void Form1::Option3_Click() { storeOptions(kEndOptions); }
void Form1::Option4_Click() { storeOptions(kEndOptions); }
void Form1::Option7_Click() { storeSeparator(false); }
void Form1::Option8_Click() { storeSeparator(false); }
void Form1::Option9_Click() { storeSeparator(false); }
void Form1::Option10_Click() { storeSeparator(false); }
void Form1::Option11_Click() { storeSeparator(true); }

// Text5 holds the separator for "Others:" and is usable only while that one is selected.
void Form1::storeSeparator(bool others) {
    storeOptions(kSeparatorOptions);
    texts_[5]->setEnabled(others);
}

void Form1::Text1_Change() { storeText(1); }
void Form1::Text2_Change() { storeText(2); }
void Form1::Text3_Change() { storeText(3); }
void Form1::Text4_Change() { storeText(4); }
void Form1::Text5_Change() { storeText(5); }

void Form1::Text1_LostFocus() { testNumericEntry(*texts_[1]); }
void Form1::Text3_LostFocus() { testNumericEntry(*texts_[3]); }

// A push button clicked straight after leaving a number box runs that box's test first,
// and its command only when the test passes.
bool Form1::runPendingNumericTest() {
    const int box = std::exchange(pendingNumericBox_, 0);
    return box == 0 || testNumericEntry(*texts_[box]);
}

bool Form1::testNumericEntry(QLineEdit& box) {
    if (box.text().isEmpty() || isNumericEntry(box.text())) {
        return true;
    }
    showPlainMessage(platform_.dialogs, QStringLiteral("Must be a numeric entry."));
    box.setSelection(0, static_cast<int>(box.text().size()));
    returningFocus_ = true;
    box.setFocus(Qt::OtherFocusReason);
    returningFocus_ = false;
    return false;
}

// The panel comes back as the user left it: every key is read first, so that the writes of
// the handlers that the restore fires (a selected separator stores its whole group) do not
// change what the later steps read. Of several selected buttons in one group the last wins.
void Form1::restorePanel(ProtectedProcedure& proc) {
    struct Restore {
        int label;
        QString key;
        std::function<void(const QString&)> assign;
    };
    std::vector<Restore> restores;
    int label = 140;
    for (int n : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
        restores.push_back({label, keys::option(n), [this, n](const QString& stored) {
                                assignOption(n, toBoolean(stored));
                            }});
        label += 2;
    }
    for (int n = 1; n <= 5; ++n) {
        restores.push_back({label, keys::text(n),
                            [this, n](const QString& stored) { texts_[n]->setText(stored); }});
        label += 2;
    }
    restores.push_back({label, keys::kCheck1,
                        [this](const QString& stored) { assignCheck1(toShortInteger(stored)); }});

    std::vector<std::optional<QString>> stored(restores.size());
    for (std::size_t i = 0; i < restores.size(); ++i) {
        proc.step(restores[i].label,
                  [&] { stored[i] = readSetting(platform_.settings, restores[i].key); });
    }
    for (std::size_t i = 0; i < restores.size(); ++i) {
        if (stored[i]) {
            proc.step(restores[i].label, [&] { restores[i].assign(*stored[i]); });
        }
    }
}

// Selecting a button runs its click behaviour even when it was selected already; clearing
// one runs nothing and may leave its group without a selection.
void Form1::assignOption(int number, bool value) {
    QRadioButton* button = options_[number];
    if (value && button->isChecked()) {
        runOptionClick(number);
    } else if (value) {
        button->setChecked(true);
    } else if (button->isChecked()) {
        QButtonGroup* group = groupOf(number);
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
    }
}

void Form1::assignCheck1(int value) {
    if (value != 0 && value != 1) {
        throw std::invalid_argument("Invalid property value");
    }
    check1_->setChecked(value == 1);
}

}  // namespace culvex
