// The preview window as the main window drives it: F6 opens it on the first file, it
// follows the selection and the settings, and "Use" selects a separator as a click does.
#include "Form1Fixture.h"
#include "preview/PreviewWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace culvex::testing {
namespace {

class PreviewWiringTest : public Form1Fixture {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = programFolder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Waits for the preview to show the current file and settings.
    void awaitUpdate(PreviewWindow& preview) {
        QSignalSpy updated(&preview, &PreviewWindow::updated);
        ASSERT_TRUE(updated.wait(5000));
    }
    static QString cell(const PreviewWindow& preview, int row, int column) {
        return preview.model().index(row, column).data().toString();
    }
    static bool kept(const PreviewWindow& preview, int row, int column) {
        return preview.model().index(row, column).data(Qt::BackgroundRole).isValid();
    }
};

TEST_F(PreviewWiringTest, FollowsTheSelectionAndSettingsAndUsesASuggestion) {
    Form1& form = load();
    fileListOf(form).append(writeFile("a.csv", "x,y,z\n"));
    fileListOf(form).append(writeFile("b.txt", "p, q\nr, s\n"));
    option(form, 9)->click();  // Comma
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_F6);
    PreviewWindow* preview = form.preview();
    ASSERT_NE(preview, nullptr);
    awaitUpdate(*preview);
    EXPECT_EQ(preview->windowTitle(), "Culvex Preview");
    EXPECT_EQ(cell(*preview, 0, 3), "z");
    EXPECT_EQ(preview->model().headerData(0, Qt::Horizontal, Qt::DisplayRole), "Line");
    // With quoted fields a row is a record, which may span lines.
    form.findChild<QCheckBox*>(u"QuotedFields"_qs)->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview->model().headerData(0, Qt::Horizontal, Qt::DisplayRole), "Record");
    form.findChild<QCheckBox*>(u"QuotedFields"_qs)->click();

    check1(form)->setChecked(true);  // columns 1 to 5 by the stored defaults
    textBox(form, 3)->setText("2");
    QCoreApplication::processEvents();
    EXPECT_TRUE(kept(*preview, 0, 2));
    EXPECT_FALSE(kept(*preview, 0, 3));

    listView1(form)->selectRow(1);
    awaitUpdate(*preview);
    EXPECT_EQ(cell(*preview, 1, 2), "s");
    // ", " fits the file best; its "Use" selects Comma-Space and stores the group.
    auto* use = preview->findChild<QPushButton*>();
    ASSERT_NE(use, nullptr);
    EXPECT_EQ(use->accessibleName(), "Use Comma-Space (, ): 2 columns on 2 of 2 lines");
    use->click();
    EXPECT_TRUE(option(form, 8)->isChecked());
    EXPECT_EQ(settings.values.value("Option8"), "True");
    EXPECT_EQ(settings.values.value("Option9"), "False");
    EXPECT_FALSE(settings.values.contains("PreviewWindow"));
}

}  // namespace
}  // namespace culvex::testing
