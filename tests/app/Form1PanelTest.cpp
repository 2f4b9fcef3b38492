#include "Form1Fixture.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace culvex {
namespace {

using testing::Form1Fixture;

class PanelTest : public Form1Fixture {
protected:
    void SetUp() override {
        load();
        settings.writes.clear();
    }
    // Types text into a box key by key, as the user does.
    void type(QLineEdit* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(box, &press);
        }
    }
};

TEST_F(PanelTest, TypingTwoDigitsStoresTwice) {
    textBox(*form, 1)->clear();
    settings.writes.clear();
    type(textBox(*form, 1), u"42"_qs);
    EXPECT_EQ(settings.writes, QStringList({"Text1=4", "Text1=42"}));
}

TEST_F(PanelTest, TextBoxesStoreTheirTextWhateverItHolds) {
    for (int n = 1; n <= 5; ++n) {
        settings.writes.clear();
        textBox(*form, n)->setText(u"x y"_qs);
        textBox(*form, n)->clear();
        const QString key = QStringLiteral("Text%1").arg(n);
        EXPECT_EQ(settings.writes, QStringList({key + u"=x y"_qs, key + u'='}));
    }
}

TEST_F(PanelTest, SeparatorClicksStoreTheGroupAndSetText5) {
    textBox(*form, 5)->setText(u";"_qs);
    settings.writes.clear();
    option(*form, 10)->click();
    EXPECT_EQ(settings.writes, QStringList({"Option7=False", "Option8=False", "Option9=False",
                                            "Option10=True", "Option11=False"}));
    EXPECT_FALSE(textBox(*form, 5)->isEnabled());
    EXPECT_EQ(textBox(*form, 5)->text(), u";"_qs);

    settings.writes.clear();
    option(*form, 11)->click();
    EXPECT_EQ(settings.writes, QStringList({"Option7=False", "Option8=False", "Option9=False",
                                            "Option10=False", "Option11=True"}));
    EXPECT_TRUE(textBox(*form, 5)->isEnabled());
    EXPECT_EQ(textBox(*form, 5)->text(), u";"_qs);
}

TEST_F(PanelTest, StartAndEndClicksStoreTheirPair) {
    option(*form, 4)->click();
    option(*form, 2)->click();
    option(*form, 1)->click();
    EXPECT_EQ(settings.writes, QStringList({"Option3=False", "Option4=True", "Option1=False",
                                            "Option2=True", "Option1=True", "Option2=False"}));
    EXPECT_TRUE(form->isOptionSelected(4));
    EXPECT_FALSE(form->isOptionSelected(3));
}

TEST_F(PanelTest, Check1StoresItsValueAndEnablesNothingElse) {
    check1(*form)->click();
    check1(*form)->click();
    EXPECT_EQ(settings.writes, QStringList({"Check1=1", "Check1=0"}));
    for (QWidget* control : frame(*form, 3)->findChildren<QWidget*>()) {
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    }
}

// The quoted-fields box sits in the separator frame clear of every designed control, and
// stores its value at once.
TEST_F(PanelTest, QuotedFieldsBoxStoresAtOnceAndCoversNoDesignedControl) {
    auto* box = form->findChild<QCheckBox*>(u"QuotedFields"_qs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), frame(*form, 4));
    EXPECT_EQ(box->text(), u"Fields may be in double quotes"_qs);
    EXPECT_FALSE(box->isChecked());
    for (QWidget* control : frame(*form, 4)->findChildren<QWidget*>()) {
        if (control != box && !control->objectName().isEmpty()) {
            EXPECT_FALSE(control->geometry().intersects(box->geometry()))
                << control->objectName().toStdString();
        }
    }
    EXPECT_TRUE(frame(*form, 4)->contentsRect().contains(box->geometry()));
    box->click();
    EXPECT_TRUE(form->extractionSettings().quoted);
    box->click();
    EXPECT_EQ(settings.writes, QStringList({"QuotedFields=1", "QuotedFields=0"}));
}

TEST_F(PanelTest, NumericTestOnLeavingANumberBox) {
    struct Case {
        QString text;
        bool accepted;
    };
    const Case cases[] = {
        {u""_qs, true},    {u"12"_qs, true},       {u" -1.5e3 "_qs, true},
        {u"+7"_qs, true},  {u"1,000.25"_qs, true}, {u"abc"_qs, false},
        {u"1a"_qs, false}, {u"1.2.3"_qs, false},   {u"-"_qs, false},
    };
    for (const Case& c : cases) {
        for (int box : {1, 3}) {
            dialogs.requests.clear();
            QLineEdit* edit = textBox(*form, box);
            edit->setText(c.text);
            edit->deselect();
            box == 1 ? form->Text1_LostFocus() : form->Text3_LostFocus();
            if (c.accepted) {
                EXPECT_TRUE(dialogs.requests.empty()) << c.text.toStdString();
                continue;
            }
            const auto messages = dialogs.messages();
            ASSERT_EQ(messages.size(), 1u) << c.text.toStdString();
            EXPECT_EQ(messages[0].text, u"Must be a numeric entry."_qs);
            EXPECT_EQ(messages[0].caption, u"Culvexa"_qs);
            EXPECT_EQ(messages[0].icon, MessageIcon::None);
            EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
            EXPECT_EQ(edit->text(), c.text);
            EXPECT_EQ(edit->selectedText(), c.text);
            EXPECT_EQ(form->focusWidget(), edit);
            EXPECT_EQ(settings.values.value(QStringLiteral("Text%1").arg(box)), c.text);
        }
    }
}

TEST_F(PanelTest, LeavingTheBoxRunsTheNumericTestOnceFocusSettled) {
    form->show();
    QApplication::setActiveWindow(form.get());
    textBox(*form, 1)->setFocus(Qt::MouseFocusReason);
    textBox(*form, 1)->setText(u"x"_qs);
    textBox(*form, 2)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messageTexts(), QStringList{u"Must be a numeric entry."_qs});
    EXPECT_EQ(QApplication::focusWidget(), textBox(*form, 1));
    EXPECT_EQ(textBox(*form, 1)->selectedText(), u"x"_qs);
}

TEST_F(PanelTest, AClickStraightAfterLeavingANumberBoxWaitsForItsTest) {
    form->show();
    QApplication::setActiveWindow(form.get());
    for (const auto& [text, commandRuns] : {std::pair{u"x"_qs, false}, {u"5"_qs, true}}) {
        dialogs.requests.clear();
        textBox(*form, 1)->setFocus(Qt::MouseFocusReason);
        textBox(*form, 1)->setText(text);
        pushButton(*form, 10)->setFocus(Qt::MouseFocusReason);
        pushButton(*form, 10)->click();
        QCoreApplication::processEvents();
        const QStringList texts = dialogs.messageTexts();
        ASSERT_EQ(texts.size(), 1) << text.toStdString();
        EXPECT_EQ(texts[0] == u"Must be a numeric entry."_qs, !commandRuns) << text.toStdString();
    }
}

TEST_F(PanelTest, TwoFailingBoxesDoNotHandTheFocusBackAndForth) {
    form->show();
    QApplication::setActiveWindow(form.get());
    textBox(*form, 1)->setText(u"x"_qs);
    textBox(*form, 3)->setText(u"y"_qs);
    textBox(*form, 1)->setFocus(Qt::MouseFocusReason);
    textBox(*form, 3)->setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(dialogs.messageTexts(), QStringList{u"Must be a numeric entry."_qs});
    EXPECT_EQ(QApplication::focusWidget(), textBox(*form, 1));
}

TEST_F(PanelTest, ControlsAnswerTheExtractionRun) {
    check1(*form)->setChecked(true);
    option(*form, 9)->click();
    textBox(*form, 2)->setText(u"id="_qs);
    EXPECT_EQ(form->check1Value(), 1);
    EXPECT_TRUE(form->isOptionSelected(9));
    EXPECT_FALSE(form->isOptionSelected(11));
    EXPECT_EQ(textBox(*form, 2)->text(), u"id="_qs);
}

// The files as `culvex FILE...` gives them, one of them named in another encoding than
// UTF-8: each is kept as its bytes and read.
TEST_F(PanelTest, ExtractButtonRunsOverTheListWithThePanelSettings) {
    QStringList given;
    for (const char* name : {"in.csv", "caf\xE9.csv"}) {
        const std::string path = fs::nativePath(programFolder.path()) + '/' + name;
        const std::string text = "a, b\r\nc,d\n";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0) << name;
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
        given << fs::pathFromNative(path);
    }
    form->addGivenFiles(given);
    option(*form, 9)->click();
    check1(*form)->setChecked(false);

    pushButton(*form, 7)->click();

    QStringList rows;
    for (int row = 0; row < resultsOf(*form).rowCount(); ++row) {
        rows << resultsOf(*form).index(row).data().toString();
    }
    EXPECT_EQ(rows, QStringList({"a", "b", "c", "d", "a", "b", "c", "d"}));
    EXPECT_EQ(dialogs.messageTexts(), QStringList{u"Done."_qs});
    EXPECT_FALSE(form->isBusy());
}

}  // namespace
}  // namespace culvex
