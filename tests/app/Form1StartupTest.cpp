#include "Form1Fixture.h"
#include "command/ErrorReport.h"
#include "command/Titles.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>

namespace culvex {
namespace {

using testing::Form1Fixture;

const int kOptions[] = {1, 2, 3, 4, 7, 8, 9, 10, 11};

// The panel as the user sees it: selected options, the five texts, Check1 and Text5's state.
struct Panel {
    std::vector<int> selected;
    QStringList texts;
    int check1;
    bool text5Enabled;
    bool operator==(const Panel&) const = default;
};

Panel panelOf(const Form1& form) {
    Panel panel{{}, {}, form.check1Value(), textBox(form, 5)->isEnabled()};
    for (int n : kOptions) {
        if (form.isOptionSelected(n)) {
            panel.selected.push_back(n);
        }
    }
    for (int n = 1; n <= 5; ++n) {
        panel.texts << textBox(form, n)->text();
    }
    return panel;
}

void PrintTo(const Panel& panel, std::ostream* out) {
    *out << "selected:";
    for (int n : panel.selected) {
        *out << ' ' << n;
    }
    *out << " texts: " << panel.texts.join(u'|').toStdString() << " check1: " << panel.check1
         << " text5Enabled: " << panel.text5Enabled;
}

class StartupTest : public Form1Fixture {
protected:
    // The writes of the panel's restore, without the sample record start-up takes.
    QStringList panelWrites() const {
        QStringList writes = settings.writes;
        writes.removeIf([](const QString& write) { return write.startsWith(u"Snapshot="_qs); });
        return writes;
    }
};

TEST_F(StartupTest, EmptyStoreOpensWithOthersCommaAndStoresWhatTheRestoreRewrote) {
    load();
    EXPECT_EQ(panelOf(*form), (Panel{{1, 3, 11}, {"1", "a", "5", "a", ","}, 0, true}));
    const QStringList group7 = {"Option7=True", "Option8=False", "Option9=False", "Option10=False",
                                "Option11=False"};
    const QStringList group9 = {"Option7=False", "Option8=False", "Option9=True", "Option10=False",
                                "Option11=False"};
    const QStringList group11 = {"Option7=False", "Option8=False", "Option9=False",
                                 "Option10=False", "Option11=True"};
    EXPECT_EQ(panelWrites(),
              QStringList({"Option1=True", "Option2=False", "Option3=True", "Option4=False"}) +
                  group7 + group9 + group11 +
                  QStringList({"Text1=1", "Text2=a", "Text3=5", "Text4=a", "Text5=,", "Check1=0"}));
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(StartupTest, StoreFromAPreviousRunComesBackAsTheUserLeftIt) {
    store({{"Option1", "False"},
           {"Option2", "True"},
           {"Option3", "False"},
           {"Option4", "True"},
           {"Option7", "False"},
           {"Option8", "False"},
           {"Option9", "False"},
           {"Option10", "True"},
           {"Option11", "False"},
           {"Text1", "3"},
           {"Text2", "x"},
           {"Text3", ""},
           {"Text4", "y"},
           {"Text5", ";"},
           {"Check1", "1"},
           {"Snapshot", "recorded"}});
    const auto before = settings.values;
    load();
    EXPECT_EQ(panelOf(*form), (Panel{{2, 4, 10}, {"3", "x", "", "y", ";"}, 1, false}));
    // Only what changed a control is written back: Text3 stays empty as designed and
    // Check1 is checked as designed, so neither raises its handler.
    EXPECT_EQ(panelWrites(),
              QStringList({"Option1=False", "Option2=True", "Option3=False", "Option4=True",
                           "Option7=False", "Option8=False", "Option9=False", "Option10=True",
                           "Option11=False", "Text1=3", "Text2=x", "Text4=y", "Text5=;"}));
    EXPECT_EQ(settings.values, before);
}

// Quoted fields come back from "1" alone, and start-up never writes the key.
TEST_F(StartupTest, StoredQuotedFieldsComeBackUnwritten) {
    for (const auto& [stored, checked] : {std::pair{u"1"_qs, true}, {u"yes"_qs, false}}) {
        settings.values.clear();
        settings.values.insert(u"QuotedFields"_qs, stored);
        settings.writes.clear();
        load();
        EXPECT_EQ(form->findChild<QCheckBox*>(u"QuotedFields"_qs)->isChecked(), checked);
        EXPECT_FALSE(settings.writes.join(u' ').contains(u"QuotedFields"_qs));
    }
}

// The Encoding setting decides how a UTF-8 row shows; an unknown value reads as Auto, and
// start-up never writes it.
TEST_F(StartupTest, StoredEncodingDecidesHowRowsShow) {
    const struct {
        const char* stored;
        QString shown;
    } cases[] = {
        {nullptr, u"café"_qs},   {"Auto", u"café"_qs},  {"Windows-1252", u"cafÃ©"_qs},
        {"UTF-8", u"café"_qs},   {"utf-8", u"café"_qs}, {"windows-1252", u"cafÃ©"_qs},
        {"Latin-1", u"café"_qs},
    };
    for (const auto& c : cases) {
        settings.values.clear();
        settings.writes.clear();
        if (c.stored != nullptr) {
            store({{"Encoding", c.stored}});
        }
        ResultsModel& results = resultsOf(load());
        results.append("caf\xC3\xA9");
        results.publish();
        EXPECT_EQ(results.data(results.index(0), Qt::DisplayRole).toString(), c.shown)
            << (c.stored ? c.stored : "absent");
        EXPECT_FALSE(settings.writes.join(u' ').contains(u"Encoding"_qs));
    }
}

TEST_F(StartupTest, EncodingMenuShowsTheChoiceAtOnceAndStoresIt) {
    ResultsModel& results = resultsOf(load());
    results.append("caf\xC3\xA9");
    results.publish();
    form->ListView2_ContextMenu(QPoint(2, 2));
    QMap<QString, QAction*> actions;
    for (QAction* action : form->findChildren<QAction*>()) {
        actions.insert(action->text(), action);
    }
    ASSERT_TRUE(actions.contains(u"Text encoding"_qs));
    ASSERT_TRUE(actions.contains(u"UTF-8"_qs));
    EXPECT_TRUE(actions[u"Auto"_qs]->isChecked());
    EXPECT_FALSE(actions[u"Windows-1252"_qs]->isChecked());
    actions[u"Windows-1252"_qs]->trigger();
    EXPECT_EQ(results.data(results.index(0), Qt::DisplayRole).toString(), u"cafÃ©"_qs);
    EXPECT_EQ(settings.values.value(u"Encoding"_qs), u"Windows-1252"_qs);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(StartupTest, StoredSampleRecordIsNotTakenAgain) {
    store({{"Snapshot", "recorded"}});
    load();
    EXPECT_EQ(settings.values.value(u"Snapshot"_qs), u"recorded"_qs);
    EXPECT_EQ(panelWrites(), settings.writes);
}

TEST_F(StartupTest, EachSeparatorComesBackAlone) {
    for (int chosen : {7, 8, 9, 10, 11}) {
        settings = {};
        for (int n : {7, 8, 9, 10, 11}) {
            settings.values.insert(QStringLiteral("Option%1").arg(n),
                                   n == chosen ? u"True"_qs : u"False"_qs);
        }
        load();
        for (int n : {7, 8, 9, 10, 11}) {
            EXPECT_EQ(form->isOptionSelected(n), n == chosen) << chosen << " option " << n;
            EXPECT_EQ(settings.values.value(QStringLiteral("Option%1").arg(n)),
                      n == chosen ? u"True"_qs : u"False"_qs);
        }
        EXPECT_EQ(textBox(*form, 5)->isEnabled(), chosen == 11) << chosen;
    }
}

TEST_F(StartupTest, EmptyStoredTextStaysEmpty) {
    store({{"Text2", ""}});
    load();
    EXPECT_EQ(textBox(*form, 2)->text(), QString());
    EXPECT_FALSE(panelWrites().join(u' ').contains(u"Text2"_qs));
    EXPECT_EQ(settings.values.value(u"Text2"_qs), QString());
}

TEST_F(StartupTest, StoredTextsOfAnyLengthComeBackWhole) {
    const QString longText(40000, u';');
    settings.values.insert(u"Text5"_qs, longText);
    load();
    EXPECT_EQ(textBox(*form, 5)->text(), longText);
    EXPECT_EQ(settings.values.value(u"Text5"_qs), longText);
}

TEST_F(StartupTest, GroupStoredAllFalseOpensWithoutSelection) {
    store({{"Option1", "False"},
           {"Option2", "False"},
           {"Option7", "False"},
           {"Option8", "False"},
           {"Option9", "False"},
           {"Option10", "False"},
           {"Option11", "False"}});
    load();
    EXPECT_EQ(panelOf(*form).selected, std::vector<int>{3});
    EXPECT_TRUE(textBox(*form, 5)->isEnabled());
    for (const QString& write : panelWrites()) {
        EXPECT_FALSE(write.startsWith(u"Option1="_qs) || write.startsWith(u"Option2="_qs) ||
                     write.startsWith(u"Option7="_qs))
            << write.toStdString();
    }
}

TEST_F(StartupTest, CorruptOptionIsReportedOnceAndStartUpGoesOn) {
    store({{"Option1", "maybe"}});
    load();
    const auto messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              errorReportText(u"Type mismatch"_qs, formLocation(u"Form_Load"_qs), 140));
    EXPECT_EQ(messages[0].caption, u"Application Error"_qs);
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
    // Option1 keeps its designed selection and is not stored; the rest restores as usual.
    EXPECT_EQ(panelOf(*form), (Panel{{1, 3, 11}, {"1", "a", "5", "a", ","}, 0, true}));
    EXPECT_EQ(settings.values.value(u"Option1"_qs), u"maybe"_qs);
    EXPECT_FALSE(settings.values.contains(u"Option2"_qs));
    EXPECT_EQ(panelWrites().first(), u"Option3=True"_qs);
}

TEST_F(StartupTest, AStoreThatCannotBeWrittenIsReportedAtTheSampleRecordSteps) {
    settings.writeFailure = u"Read-only file system"_qs;
    load();
    const QStringList expected{
        errorReportText(u"Read-only file system"_qs, formLocation(u"Form_Load"_qs), 108),
        errorReportText(u"Read-only file system"_qs, formLocation(u"Form_Load"_qs), 128)};
    EXPECT_EQ(dialogs.messageTexts(), expected);
    EXPECT_EQ(panelOf(*form), (Panel{{1, 3, 11}, {"1", "a", "5", "a", ","}, 0, true}));
}

TEST_F(StartupTest, CorruptCheck1KeepsTheDesignedValue) {
    struct Case {
        const char* stored;
        const char* description;
    };
    for (const Case& c : {Case{"abc", "Type mismatch"}, Case{"99999", "Overflow"},
                          Case{"7", "Invalid property value"}}) {
        settings = {};
        dialogs.requests.clear();
        store({{"Check1", c.stored}});
        load();
        ASSERT_EQ(dialogs.messages().size(), 1u) << c.stored;
        EXPECT_EQ(dialogs.messages()[0].text, errorReportText(QString::fromUtf8(c.description),
                                                              formLocation(u"Form_Load"_qs), 168));
        EXPECT_EQ(form->check1Value(), 1) << c.stored;
    }
}

TEST_F(StartupTest, BooleanWordsAndNumbersRestoreOptions) {
    struct Case {
        const char* stored;
        bool selected;
    };
    for (const Case& c : {Case{"TRUE", true}, Case{"true", true}, Case{"-1", true},
                          Case{" 2.5 ", true}, Case{"fAlSe", false}, Case{"0", false}}) {
        settings = {};
        store({{"Option2", c.stored}});
        load();
        EXPECT_EQ(form->isOptionSelected(2), c.selected) << c.stored;
        EXPECT_EQ(form->isOptionSelected(1), !c.selected) << c.stored;
        EXPECT_TRUE(dialogs.requests.empty());
    }
}

TEST_F(StartupTest, TitlesAndListColumns) {
    load();
    EXPECT_EQ(form->windowTitle(), u"Culvex"_qs);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(QCoreApplication::applicationName(), u"Culvexa"_qs);
    const std::pair<QAbstractItemView*, QHeaderView*> lists[] = {
        {listView1(*form), listView1(*form)->horizontalHeader()},
        {listView2(*form), listView2(*form)->horizontalHeader()},
    };
    for (const auto& [view, column] : lists) {
        EXPECT_EQ(view->model()->columnCount(), 1);
        EXPECT_FALSE(column->isHidden());
        EXPECT_EQ(column->sectionSize(0), 467);
    }
    EXPECT_EQ(listView1(*form)->model()->headerData(0, Qt::Horizontal), u"File(s)"_qs);
    EXPECT_EQ(listView2(*form)->model()->headerData(0, Qt::Horizontal), u"Results"_qs);
}

TEST(ShortTitle, CutsAtTheLastSpaceUntilAtMostFortyCharacters) {
    struct Case {
        QString product;
        QString expected;
    };
    const Case cases[] = {
        {u"Culvex"_qs, u"Culvexa"_qs},
        {u"Culvex Column Extractor"_qs, u"Culvex Column"_qs},
        {u"Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota"_qs,
         u"Alpha Beta Gamma Delta Epsilon Zeta Eta"_qs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shortTitleOf(c.product), c.expected);
    }
}

}  // namespace
}  // namespace culvex
