// Exports through a real LibreOffice Calc, headless, and reads every cell back.

#include "CommandFakes.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "command/ErrorReport.h"
#include "output/DecodedText.h"
#include "output/SpreadsheetExport.h"
#include "platform/LibreOfficeSpreadsheet.h"
#include "platform/OfficeProcesses.h"

#include <gtest/gtest.h>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/exc_hlp.hxx>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>

namespace culvex {
namespace {

namespace uno = css::uno;
using uno::Reference;
using uno::UNO_QUERY_THROW;

bool sofficeOnPath() {
    const QByteArray path = qgetenv("PATH");
    for (const QByteArray& folder : path.split(':')) {
        if (!folder.isEmpty() && QFile::exists(QString::fromLocal8Bit(folder + "/soffice"))) {
            return true;
        }
    }
    return false;
}

// The office runs headless with a profile of its own in a temporary home, and is ended
// when the tests are done.
class HeadlessOffice final : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("SAL_USE_VCLPLUGIN", "svp");
        qputenv("LC_ALL", "C.UTF-8");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        if (sofficeOnPath()) {
            endOffice();
        }
        home_.remove();
    }

    // Ends the office and waits until it has removed its profile's lock.
    void endOffice() {
        try {
            css::frame::Desktop::create(cppu::bootstrap())->terminate();
        } catch (...) {
        }
        const QString lock = home_.filePath(u".config/libreoffice/4/.lock"_qs);
        QDeadlineTimer deadline(20000);
        while (QFile::exists(lock) && !deadline.hasExpired()) {
            QThread::msleep(100);
        }
    }

private:
    QTemporaryDir home_;
};

auto* const office =
    static_cast<HeadlessOffice*>(::testing::AddGlobalTestEnvironment(new HeadlessOffice));

// What a cell holds and shows.
struct CellState {
    css::table::CellContentType type;
    double value;
    QString formula;
    QString shown;
    sal_Int32 format;
    bool operator==(const CellState&) const = default;
};

QString toQString(const rtl::OUString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

rtl::OUString toOUString(const QString& text) {
    return {reinterpret_cast<const sal_Unicode*>(text.utf16()),
            static_cast<sal_Int32>(text.size())};
}

CellState readCell(const Reference<css::sheet::XSpreadsheet>& sheet, int column, int row) {
    const Reference<css::table::XCell> cell = sheet->getCellByPosition(column, row);
    sal_Int32 format = 0;
    Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>=
        format;
    return {cell->getType(), cell->getValue(), toQString(cell->getFormula()),
            toQString(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString()), format};
}

void PrintTo(const CellState& s, std::ostream* os) {
    *os << "{type " << static_cast<int>(s.type) << ", value " << s.value << ", formula \""
        << s.formula.toStdString() << "\", shown \"" << s.shown.toStdString() << "\", format "
        << s.format << "}";
}

Reference<css::container::XIndexAccess> sheetsOf(const Reference<css::lang::XComponent>& document) {
    return {Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW};
}

// The real spreadsheet, keeping hold of the workbooks it adds so that tests can read them.
class CapturingSpreadsheet final : public Spreadsheet {
public:
    std::vector<Reference<css::lang::XComponent>> documents;

    const std::shared_ptr<const OfficeConnection>& connection() const { return real_.connection(); }

    // Sheet `index` of the workbook added `i`th.
    Reference<css::sheet::XSpreadsheet> sheet(std::size_t i, int index = 0) const {
        return {sheetsOf(documents.at(i))->getByIndex(index), UNO_QUERY_THROW};
    }

    // Closes the documents; an office that has gone (it crashed or was ended) took them
    // with it, and a failure here would end the whole run.
    ~CapturingSpreadsheet() override {
        for (const auto& document : documents) {
            try {
                Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
            } catch (const uno::Exception&) {
            }
        }
    }
    std::unique_ptr<SpreadsheetApplication> createApplication() override {
        return std::make_unique<Application>(real_.createApplication(), *this);
    }

private:
    class Application final : public SpreadsheetApplication {
    public:
        Application(std::unique_ptr<SpreadsheetApplication> real, CapturingSpreadsheet& owner)
            : real_(std::move(real)), owner_(owner) {}
        std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override {
            auto book = real_->addWorkbook();
            owner_.documents.push_back(dynamic_cast<const LibreOfficeWorkbook&>(*book).component());
            return book;
        }
        void makeVisible() override { real_->makeVisible(); }

    private:
        std::unique_ptr<SpreadsheetApplication> real_;
        CapturingSpreadsheet& owner_;
    };

    LibreOfficeSpreadsheet real_;
};

class LibreOfficeExport : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sofficeOnPath()) {
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        }
    }
};

TEST_F(LibreOfficeExport, EntersEveryRowAsTypingItWould) {
    const std::string kLongText(40000, 'x');
    const std::vector<std::string_view> rows = {
        "007",
        "=1+1",
        "1/2",
        "50%",
        "abc",
        "",
        "3.5",
        "1e3",
        "TRUE",
        "'007",
        "-5",
        "12:30",
        "$3",
        "=",
        "=1+",
        "2021-08-31",
        "ab&c",
        "a$1b",
        "\\1",
        "a\tb",
        "3 1/2",
        "=A2*2",
        "#N/A",
        "1\r2",
        "1\n2",
        "\x81\x8d\x8f\x90\x9d",
        "a\x0b",
        "x\x0c",
        "1,234.5",
        "-1.5E-3",
        "12.5%",
        "$1,234.56",
        "1/2/2021",
        "12:30:45",
        "2021-08-31 12:30",
        "0012.50",
        "'abc",
        "a\r\nb",
        "\r",
        "a,\"b\"",
        " 7 ",
        "\"7\"",
        "+1-2",
        kLongText,
        "\x80\x8a\x9f\xa0\xbf\xc0\xe9\xff",
        "caf\xC3\xA9;na\xC3\xAFve;\xE6\x97\xA5\xE6\x9C\xAC"};
    ResultsModel results;
    for (std::string_view row : rows) {
        results.append(row);
    }
    CapturingSpreadsheet spreadsheet;
    testing::CommandFakes fakes;
    exportToSpreadsheet(results, spreadsheet, fakes.context());
    ASSERT_TRUE(fakes.dialogs.requests.empty())
        << fakes.dialogs.messageTexts().join(u'\n').toStdString();
    ASSERT_EQ(spreadsheet.documents.size(), 1u);
    const auto sheet = spreadsheet.sheet(0);
    EXPECT_EQ(sheetsOf(spreadsheet.documents[0])->getCount(), 1);
    EXPECT_EQ(toQString(Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName()),
              u"Sheet1"_qs);
    EXPECT_TRUE(Reference<css::frame::XModel>(spreadsheet.documents[0], UNO_QUERY_THROW)
                    ->getURL()
                    .isEmpty());

    const Reference<css::document::XUndoManagerSupplier> undo(spreadsheet.documents[0],
                                                              UNO_QUERY_THROW);
    EXPECT_FALSE(undo->getUndoManager()->isUndoPossible());

    // Column B gets the same texts one cell at a time as typed input: the reference.
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const QString text = rowText(rows[k], results.encoding());
        if (!text.isEmpty()) {
            Reference<css::beans::XPropertySet>(sheet->getCellByPosition(1, int(k) + 1),
                                                UNO_QUERY_THROW)
                ->setPropertyValue("FormulaLocal", uno::Any(toOUString(text)));
        }
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SCOPED_TRACE("row " + std::to_string(k + 1) + ": " + std::string(rows[k]));
        EXPECT_EQ(readCell(sheet, 0, int(k) + 1), readCell(sheet, 1, int(k) + 1));
    }

    using namespace css::table;
    EXPECT_EQ(readCell(sheet, 0, 0).shown, u"Results"_qs);
    const auto a = [&](int row) { return readCell(sheet, 0, row); };
    EXPECT_EQ(a(1).type, CellContentType_VALUE);  // 007
    EXPECT_EQ(a(1).value, 7);
    EXPECT_EQ(a(2).type, CellContentType_FORMULA);  // =1+1
    EXPECT_EQ(a(2).value, 2);
    EXPECT_EQ(a(3).type, CellContentType_VALUE);  // 1/2, a date
    EXPECT_NE(a(3).format, 0);
    EXPECT_EQ(a(4).value, 0.5);  // 50%
    EXPECT_TRUE(a(4).shown.endsWith(u'%'));
    EXPECT_EQ(a(5).type, CellContentType_TEXT);
    EXPECT_EQ(a(6).type, CellContentType_EMPTY);
    EXPECT_EQ(a(7).value, 3.5);
    const int last = static_cast<int>(rows.size());
    EXPECT_EQ(a(last - 1).shown, u"\u20ac\u0160\u0178\u00a0\u00bf\u00c0\u00e9\u00ff"_qs);
    EXPECT_EQ(a(last).shown, u"café;naïve;日本"_qs);
    EXPECT_EQ(a(last + 1).type, CellContentType_EMPTY);

    EXPECT_EQ(fakes.pointer.history, (std::vector{PointerState::Busy, PointerState::Default}));
}

TEST_F(LibreOfficeExport, LongListCrossesTransferBlocksInPlace) {
    constexpr int kRows = 70000;
    CapturingSpreadsheet spreadsheet;
    auto application = spreadsheet.createApplication();
    auto book = application->addWorkbook();
    EXPECT_EQ(book->maxRows(), 1048576);
    // Formulas, which go in apart from the other texts, in the first two blocks.
    const auto formula = [](int row) { return row % 50 == 0 && row <= 5000; };
    for (int row = 1; row <= kRows; ++row) {
        book->setCell(row, 1,
                      formula(row) ? u"=%1"_qs.arg(row)
                      : row % 2    ? QString::number(row)
                                   : u"t%1"_qs.arg(row));
    }
    book->autoFitColumns();
    const auto values =
        Reference<css::sheet::XCellRangeData>(
            spreadsheet.sheet(0)->getCellRangeByPosition(0, 0, 0, kRows - 1), UNO_QUERY_THROW)
            ->getDataArray();
    int wrong = 0;
    for (int row = 1; row <= kRows; ++row) {
        const uno::Any& value = values[row - 1][0];
        double number = 0;
        rtl::OUString text;
        const bool right = row % 2 || formula(row)
                               ? (value >>= number) && number == row
                               : (value >>= text) && toQString(text) == u"t%1"_qs.arg(row);
        wrong += right ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_THROW(book->setCell(1048577, 1, u"x"_qs), std::out_of_range);
}

// Each column's width and whether it counts as optimal, from the first to `count`.
std::vector<std::pair<sal_Int32, bool>> columnWidths(
    const Reference<css::sheet::XSpreadsheet>& sheet, int count) {
    const auto columns =
        Reference<css::table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getColumns();
    std::vector<std::pair<sal_Int32, bool>> widths;
    for (int i = 0; i < count; ++i) {
        const Reference<css::beans::XPropertySet> column(columns->getByIndex(i), UNO_QUERY_THROW);
        sal_Int32 width = 0;
        bool optimal = false;
        column->getPropertyValue("Width") >>= width;
        column->getPropertyValue("OptimalWidth") >>= optimal;
        widths.emplace_back(width, optimal);
    }
    return widths;
}

TEST_F(LibreOfficeExport, ColumnsAreAsWideAsCalcFitsThemWhole) {
    // Long columns of few distinct texts or of texts and integers that differ only in some
    // digits, which are fitted by samples, and one with a formula, fitted whole.
    constexpr int kRows = 12000;
    const auto scrambled = [](int row, qint64 below) {
        return QString::number(row * Q_INT64_C(2654435761) % below);
    };
    const std::vector<std::function<QString(int)>> columns = {
        [](int row) { return QString::number(row % 97 * 1001); },
        [](int row) { return u"%1/%2/2021"_qs.arg(1 + row % 12).arg(1 + row % 28); },
        [](int row) { return QString(200 + row % 7, u'w'); },
        [](int row) { return row % 3 ? u"%1%"_qs.arg(row % 50) : u"word %1"_qs.arg(row % 40); },
        [](int row) { return row == 7 ? u"=1/3"_qs : u"x"_qs; },
        [](int row) { return u"t%1"_qs.arg(row); },
        // A date, shown shorter, and a text of the same digit shape that is no date.
        [](int row) { return row % 2 ? u"2/28/2021"_qs : u"2/29/2021"_qs; },
        [](int row) { return u"(%1) %2.%3 x"_qs.arg(row % 7).arg(row).arg(row % 83); },
        [](int row) { return QString::number(row); },
        // Negative, with leading zeros, of 15 and of 16 digits.
        [&](int row) {
            switch (row % 4) {
                case 0:
                    return u"-"_qs + scrambled(row, Q_INT64_C(1000000000000000));
                case 1:
                    return u"000"_qs + scrambled(row, 1000000);
                case 2:
                    return scrambled(row, Q_INT64_C(999999999999999)) + u"9"_qs;
                default:
                    return u"-"_qs + scrambled(row, 100000);
            }
        },
        // The benchmark's values: integers, words, percentages and dates in turn.
        [](int row) {
            switch (row % 4) {
                case 0:
                    return QString::number(row);
                case 1:
                    return u"item %1"_qs.arg(row);
                case 2:
                    return u"%1%"_qs.arg(row % 100);
                default:
                    return u"%1/%2/2021"_qs.arg(1 + row % 12).arg(1 + row % 28);
            }
        },
    };
    const int count = static_cast<int>(columns.size()) + 1;
    // The workbook's default cell style as the office gives it, and with a bigger font as a
    // user's template may have it.
    for (const float fontHeight : {0.0f, 16.0f}) {
        SCOPED_TRACE("font height " + std::to_string(fontHeight));
        CapturingSpreadsheet spreadsheet;
        auto application = spreadsheet.createApplication();
        auto book = application->addWorkbook();
        if (fontHeight > 0) {
            const Reference<css::container::XNameAccess> styles(
                Reference<css::style::XStyleFamiliesSupplier>(spreadsheet.documents[0],
                                                              UNO_QUERY_THROW)
                    ->getStyleFamilies()
                    ->getByName("CellStyles"),
                UNO_QUERY_THROW);
            Reference<css::beans::XPropertySet>(styles->getByName("Default"), UNO_QUERY_THROW)
                ->setPropertyValue("CharHeight", uno::Any(fontHeight));
        }
        for (std::size_t c = 0; c < columns.size(); ++c) {
            for (int row = 1; row <= kRows; ++row) {
                book->setCell(row, static_cast<int>(c) + 1, columns[c](row));
            }
        }
        book->autoFitColumns();
        const auto sheet = spreadsheet.sheet(0);
        const auto fitted = columnWidths(sheet, count);
        Reference<css::beans::XPropertySet>(
            Reference<css::table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getColumns(),
            UNO_QUERY_THROW)
            ->setPropertyValue("OptimalWidth", uno::Any(true));
        EXPECT_EQ(fitted, columnWidths(sheet, count));
    }
}

TEST_F(LibreOfficeExport, TheFilledSheetKeepsItsPlaceAmongOthers) {
    CapturingSpreadsheet spreadsheet;
    auto application = spreadsheet.createApplication();
    auto book = application->addWorkbook();
    const Reference<css::sheet::XSpreadsheets> sheets =
        Reference<css::sheet::XSpreadsheetDocument>(spreadsheet.documents[0], UNO_QUERY_THROW)
            ->getSheets();
    sheets->insertNewByName("Before", 0);
    sheets->insertNewByName("After", 2);
    book->setCell(1, 1, u"7"_qs);
    book->autoFitColumns();

    const auto names = sheets->getElementNames();
    EXPECT_EQ((std::vector<QString>{toQString(names[0]), toQString(names[1]), toQString(names[2])}),
              (std::vector{u"Before"_qs, u"Sheet1"_qs, u"After"_qs}));
    EXPECT_EQ(readCell(spreadsheet.sheet(0, 1), 0, 0).value, 7);
    const Reference<css::sheet::XSpreadsheetView> view(
        Reference<css::frame::XModel>(spreadsheet.documents[0], UNO_QUERY_THROW)
            ->getCurrentController(),
        UNO_QUERY_THROW);
    EXPECT_EQ(
        toQString(
            Reference<css::container::XNamed>(view->getActiveSheet(), UNO_QUERY_THROW)->getName()),
        u"Sheet1"_qs);
}

void transferGetsTheTimeOfItsCells() {
    CapturingSpreadsheet spreadsheet;
    auto application = spreadsheet.createApplication();
    const auto opened = application->addWorkbook();
    auto document = std::make_shared<LibreOfficeWorkbook::Document>();
    document->component = spreadsheet.documents[0];
    document->sheet = spreadsheet.sheet(0);
    document->rows = opened->maxRows();
    document->columns = 1;
    // No transfer ends within a millisecond; the allowance for its cells is ample. The
    // export's own connection is used: a second one to a busy office fails now and then.
    LibreOfficeWorkbook book(document, spreadsheet.connection(),
                             OfficeTimeLimits{.call = std::chrono::milliseconds(1),
                                              .perThousandCells = std::chrono::seconds(60)});
    constexpr int kRows = 2000;
    for (int row = 1; row <= kRows; ++row) {
        book.setCell(row, 1, QString::number(row));
    }
    EXPECT_NO_THROW(book.autoFitColumns());
    EXPECT_EQ(readCell(document->sheet, 0, kRows - 1).value, kRows);
}

// Runs `work`; an exception of the office, which derives from no standard exception and
// which gtest therefore cannot describe, fails the test with its type and message.
void describingOfficeExceptions(const std::function<void()>& work) {
    try {
        work();
    } catch (const uno::Exception& e) {
        FAIL() << toQString(cppu::getCaughtException().getValueTypeName()).toStdString() << ": "
               << toQString(e.Message).toStdString();
    } catch (const cppu::BootstrapException& e) {
        FAIL() << "cppu::BootstrapException: " << toQString(e.getMessage()).toStdString();
    }
}

TEST_F(LibreOfficeExport, TransferGetsTheTimeOfItsCells) {
    describingOfficeExceptions(transferGetsTheTimeOfItsCells);
}

TEST_F(LibreOfficeExport, PresentWithSofficeAbsentWithoutItAndBackWhenRestarted) {
    testing::ScriptedDialogs dialogs;
    LibreOfficeSpreadsheet connected;
    EXPECT_TRUE(SaveResultsAsExcelFileIsExcelInstalled(connected, dialogs));

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    LibreOfficeSpreadsheet unconnected;
    const bool foundWithoutPath = SaveResultsAsExcelFileIsExcelInstalled(unconnected, dialogs);
    qputenv("PATH", path);
    EXPECT_FALSE(foundWithoutPath);
    EXPECT_EQ(dialogs.messages().size(), 1u);

    // The user closed the office since: the kept connection is dead, a new office starts.
    office->endOffice();
    EXPECT_TRUE(SaveResultsAsExcelFileIsExcelInstalled(connected, dialogs));
    EXPECT_EQ(dialogs.messages().size(), 1u);
}

// A folder that nobody may write into, root included (root passes over permissions, not
// over the immutable flag). Writable again when it goes.
class LockedFolder {
public:
    LockedFolder() {
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
        setImmutable(true);
    }
    ~LockedFolder() {
        setImmutable(false);
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return dir_.path(); }

private:
    void setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(dir_.path()).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    QTemporaryDir dir_;
};

std::size_t threadCount() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                      std::filesystem::directory_iterator()));
}

TEST_F(LibreOfficeExport, OfficeThatNeverAnswersIsEndedAndReported) {
    // An office whose profile folder cannot be written stops at its own error and never
    // answers.
    const LockedFolder home;
    if (QFile(home.path() + u"/probe"_qs).open(QIODevice::WriteOnly)) {
        GTEST_SKIP() << "No folder here can be made unwritable";
    }
    const QByteArray ownHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const std::set<pid_t> before = startedOfficeProcesses();
    const std::size_t threadsBefore = threadCount();
    const auto startedSince = [&] {
        std::set<pid_t> started;
        std::ranges::set_difference(startedOfficeProcesses(), before,
                                    std::inserter(started, started.end()));
        return started;
    };
    ResultsModel results;
    results.append("a");
    results.publish();
    LibreOfficeSpreadsheet spreadsheet(OfficeTimeLimits{.start = std::chrono::seconds(5)});
    testing::CommandFakes fakes;
    exportToSpreadsheet(results, spreadsheet, fakes.context());
    qputenv("HOME", ownHome);

    EXPECT_EQ(fakes.dialogs.messageTexts().value(0),
              errorReportText(u"The spreadsheet did not answer within 5 seconds."_qs,
                              formLocation(u"PushButton5_Click"_qs), 106));
    const QDeadlineTimer deadline(10000);
    while ((!startedSince().empty() || threadCount() > threadsBefore) && !deadline.hasExpired()) {
        QThread::msleep(50);
    }
    const std::set<pid_t> leftBehind = startedSince();
    EXPECT_TRUE(leftBehind.empty());
    EXPECT_EQ(endProcesses(leftBehind), "");
    // Nothing keeps trying to reach the office that was given up.
    EXPECT_LE(threadCount(), threadsBefore);
}

}  // namespace
}  // namespace culvex
