#include "platform/LibreOfficeSpreadsheet.h"

#include "platform/BlockingCall.h"
#include "platform/LibreOfficeCells.h"
#include "platform/OfficeProcesses.h"
#include "platform/OfficeStart.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/exc_hlp.hxx>

#include <atomic>
#include <csignal>
#include <stdexcept>

namespace culvex {

namespace uno = css::uno;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

std::string utf8(const rtl::OUString& text) { return text.toUtf8().getStr(); }

// Turns the office's failures, which derive from neither std::exception nor each other, into
// std::runtime_error with their wording.
void translateFailures(const std::function<void()>& work) {
    try {
        work();
    } catch (const uno::Exception& e) {
        const uno::Any caught = cppu::getCaughtException();
        throw std::runtime_error(utf8(e.Message.isEmpty() ? caught.getValueTypeName() : e.Message));
    } catch (const cppu::BootstrapException& e) {
        throw std::runtime_error("LibreOffice could not be started: " + utf8(e.getMessage()));
    }
}

// Runs an office call off the window's thread. `work` holds by value all it touches, since
// a call past its limit is abandoned; the office processes `ours` names are then ended.
void officeCall(std::chrono::milliseconds limit, const std::function<std::set<pid_t>()>& ours,
                std::function<void()> work) {
    if (!runBlocking([work = std::move(work)] { translateFailures(work); }, limit)) {
        throw SpreadsheetTimeout(limit, endProcesses(ours()));
    }
}

std::chrono::milliseconds transferLimit(const OfficeTimeLimits& limits, std::size_t cells) {
    return limits.call + limits.perThousandCells * static_cast<std::int64_t>(cells / 1000);
}

// Takes the document's pending cells for a transfer. The sheet the transfer leaves them in
// becomes the document's sheet only when the transfer ends in time: an abandoned one may
// still be at work on its own copy.
SheetTransfer takePending(LibreOfficeWorkbook::Document& document) {
    SheetTransfer transfer{document.component, document.sheet, !document.filled,
                           std::exchange(document.pending, {})};
    document.filled = document.filled || !transfer.cells.empty();
    return transfer;
}

uno::Sequence<css::beans::PropertyValue> hiddenLoad() {
    css::beans::PropertyValue hidden;
    hidden.Name = "Hidden";
    hidden.Value <<= true;
    return {&hidden, 1};
}

Reference<css::lang::XComponent> newHiddenCalcDocument(
    const Reference<css::frame::XDesktop2>& desktop) {
    Reference<css::lang::XComponent> document =
        desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, hiddenLoad());
    if (!document.is()) {
        throw std::runtime_error("LibreOffice Calc could not create a spreadsheet document");
    }
    return document;
}

Reference<css::frame::XController> controllerOf(const Reference<css::lang::XComponent>& doc) {
    return Reference<css::frame::XModel>(doc, UNO_QUERY_THROW)->getCurrentController();
}

void openDocument(LibreOfficeWorkbook::Document& document,
                  const Reference<css::frame::XDesktop2>& desktop) {
    document.component = newHiddenCalcDocument(desktop);
    const Reference<css::sheet::XSpreadsheetView> view(controllerOf(document.component),
                                                       UNO_QUERY_THROW);
    document.sheet = view->getActiveSheet();
    const Reference<css::table::XColumnRowRange> lines(document.sheet, UNO_QUERY_THROW);
    document.rows = lines->getRows()->getCount();
    document.columns = lines->getColumns()->getCount();
}

void show(const Reference<css::lang::XComponent>& document) {
    const Reference<css::frame::XFrame> frame = controllerOf(document)->getFrame();
    const Reference<css::awt::XWindow> window = frame->getContainerWindow();
    window->setVisible(true);
    Reference<css::awt::XTopWindow>(window, UNO_QUERY_THROW)->toFront();
}

// The office may run without Calc: only a new document proves that Calc is there.
void probeCalc(const Reference<css::frame::XDesktop2>& desktop) {
    Reference<css::util::XCloseable>(newHiddenCalcDocument(desktop), UNO_QUERY_THROW)->close(true);
}

// Reaches Calc through the kept connection, or when there is none or its office has gone
// (the user closed it), through a newly started office. The kept office proved that it has
// Calc when it was reached first: any call tells whether it is still there.
void connect(OfficeConnection& connection, const std::shared_ptr<const OfficeConnection>& kept,
             const std::atomic<bool>& abandoned) {
    if (kept) {
        try {
            kept->desktop->getCurrentComponent();
            connection = *kept;
            return;
        } catch (const uno::RuntimeException&) {
            // The office has gone since the last time (the user closed it): start anew.
        }
    }
    connection.context = startOffice(abandoned);
    connection.desktop = css::frame::Desktop::create(connection.context);
    probeCalc(connection.desktop);
}

// The office is reached through a local socket, written by the office bridge's own threads.
// When the office ends while a request is being written (it crashed, the user ended it, a
// call past its limit ended it), the write must fail and reach the caller as an error instead
// of the broken pipe's signal ending this program.
void ignoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace

std::unique_ptr<SpreadsheetApplication> LibreOfficeSpreadsheet::createApplication() {
    ignoreBrokenPipes();
    const std::set<pid_t> before = startedOfficeProcesses();
    const auto newlyStarted = [&] {
        std::set<pid_t> started = connection_ ? connection_->started : std::set<pid_t>{};
        for (const pid_t process : startedOfficeProcesses()) {
            if (before.count(process) == 0) {
                started.insert(process);
            }
        }
        return started;
    };
    auto connection = std::make_shared<OfficeConnection>();
    // Set when the start is past its limit, so that its attempts to connect stop too.
    auto abandoned = std::make_shared<std::atomic<bool>>(false);
    try {
        officeCall(limits_.start, newlyStarted, [connection, kept = connection_, abandoned] {
            connect(*connection, kept, *abandoned);
        });
    } catch (const SpreadsheetTimeout&) {
        *abandoned = true;
        throw;
    }
    if (!connection_ || connection->desktop != connection_->desktop) {
        connection->started = newlyStarted();
    }
    connection_ = connection;
    return std::make_unique<LibreOfficeApplication>(connection_, limits_);
}

LibreOfficeApplication::LibreOfficeApplication(std::shared_ptr<const OfficeConnection> connection,
                                               OfficeTimeLimits limits)
    : connection_(std::move(connection)), limits_(limits) {}

std::unique_ptr<SpreadsheetWorkbook> LibreOfficeApplication::addWorkbook() {
    auto document = std::make_shared<LibreOfficeWorkbook::Document>();
    officeCall(
        limits_.call, [&] { return connection_->started; },
        [document, desktop = connection_->desktop] { openDocument(*document, desktop); });
    documents_.push_back(document);
    return std::make_unique<LibreOfficeWorkbook>(document, connection_, limits_);
}

void LibreOfficeApplication::makeVisible() {
    auto transfers = std::make_shared<std::vector<SheetTransfer>>();
    std::size_t count = 0;
    for (const auto& document : documents_) {
        transfers->push_back(takePending(*document));
        count += transfers->back().cells.size();
    }
    const std::chrono::milliseconds limit = transferLimit(limits_, count);
    officeCall(
        limit, [&] { return connection_->started; },
        [office = connection_, transfers] {
            for (SheetTransfer& transfer : *transfers) {
                enterCells(*office, transfer);
                show(transfer.document);
            }
        });
    for (std::size_t i = 0; i < documents_.size(); ++i) {
        documents_[i]->sheet = (*transfers)[i].sheet;
    }
}

LibreOfficeWorkbook::LibreOfficeWorkbook(std::shared_ptr<Document> document,
                                         std::shared_ptr<const OfficeConnection> connection,
                                         OfficeTimeLimits limits)
    : document_(std::move(document)), connection_(std::move(connection)), limits_(limits) {}

void LibreOfficeWorkbook::setCell(int row, int column, const QString& text) {
    if (row < 1 || row > document_->rows || column < 1 || column > document_->columns) {
        throw std::out_of_range("The cell at row " + std::to_string(row) + ", column " +
                                std::to_string(column) + " is outside the sheet");
    }
    document_->pending.push_back({row, column, text});
}

void LibreOfficeWorkbook::autoFitColumns() {
    auto transfer = std::make_shared<SheetTransfer>(takePending(*document_));
    // The limit is taken before the cells are handed over: the worker takes them.
    const std::chrono::milliseconds limit = transferLimit(limits_, transfer->cells.size());
    officeCall(
        limit, [&] { return connection_->started; },
        [office = connection_, transfer] {
            const ColumnSamples samples = enterCells(*office, *transfer);
            fitColumns(*office, transfer->document, transfer->sheet, samples);
        });
    document_->sheet = transfer->sheet;
}

std::unique_ptr<Spreadsheet> makeSpreadsheet() {
    return std::make_unique<LibreOfficeSpreadsheet>();
}

}  // namespace culvex
