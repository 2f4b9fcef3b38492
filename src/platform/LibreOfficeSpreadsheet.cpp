#include "platform/LibreOfficeSpreadsheet.h"

#include "platform/BlockingCall.h"
#include "platform/LibreOfficeCells.h"

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

#include <stdexcept>

namespace culvex {

namespace uno = css::uno;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

std::string utf8(const rtl::OUString& text) { return text.toUtf8().getStr(); }

// Runs office calls off the window's thread and turns the office's failures, which derive
// from neither std::exception nor each other, into std::runtime_error with their wording.
void officeCall(const std::function<void()>& work) {
    runBlocking([&] {
        try {
            work();
        } catch (const uno::Exception& e) {
            const uno::Any caught = cppu::getCaughtException();
            throw std::runtime_error(
                utf8(e.Message.isEmpty() ? caught.getValueTypeName() : e.Message));
        } catch (const cppu::BootstrapException& e) {
            throw std::runtime_error("LibreOffice could not be started: " + utf8(e.getMessage()));
        }
    });
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

std::shared_ptr<LibreOfficeWorkbook::Document> openDocument(
    const Reference<css::frame::XDesktop2>& desktop) {
    auto document = std::make_shared<LibreOfficeWorkbook::Document>();
    document->component = newHiddenCalcDocument(desktop);
    const Reference<css::sheet::XSpreadsheetView> view(controllerOf(document->component),
                                                       UNO_QUERY_THROW);
    document->sheet = view->getActiveSheet();
    const Reference<css::table::XColumnRowRange> lines(document->sheet, UNO_QUERY_THROW);
    document->rows = lines->getRows()->getCount();
    document->columns = lines->getColumns()->getCount();
    return document;
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

}  // namespace

std::unique_ptr<SpreadsheetApplication> LibreOfficeSpreadsheet::createApplication() {
    officeCall([&] {
        if (desktop_.is()) {
            try {
                probeCalc(desktop_);
                return;
            } catch (const uno::RuntimeException&) {
                // The office has gone since the last time (the user closed it): start anew.
            }
        }
        context_ = cppu::bootstrap();
        desktop_ = css::frame::Desktop::create(context_);
        probeCalc(desktop_);
    });
    return std::make_unique<LibreOfficeApplication>(context_, desktop_);
}

LibreOfficeApplication::LibreOfficeApplication(Reference<uno::XComponentContext> context,
                                               Reference<css::frame::XDesktop2> desktop)
    : context_(std::move(context)), desktop_(std::move(desktop)) {}

std::unique_ptr<SpreadsheetWorkbook> LibreOfficeApplication::addWorkbook() {
    std::shared_ptr<LibreOfficeWorkbook::Document> document;
    officeCall([&] { document = openDocument(desktop_); });
    documents_.push_back(document);
    return std::make_unique<LibreOfficeWorkbook>(document);
}

void LibreOfficeApplication::makeVisible() {
    officeCall([&] {
        for (const auto& document : documents_) {
            enterCells(document->component, document->sheet, std::exchange(document->pending, {}));
            show(document->component);
        }
    });
}

LibreOfficeWorkbook::LibreOfficeWorkbook(std::shared_ptr<Document> document)
    : document_(std::move(document)) {}

void LibreOfficeWorkbook::setCell(int row, int column, const QString& text) {
    if (row < 1 || row > document_->rows || column < 1 || column > document_->columns) {
        throw std::out_of_range("The cell at row " + std::to_string(row) + ", column " +
                                std::to_string(column) + " is outside the sheet");
    }
    document_->pending.push_back({row, column, text});
}

void LibreOfficeWorkbook::autoFitColumns() {
    officeCall([&] {
        enterCells(document_->component, document_->sheet, std::exchange(document_->pending, {}));
        fitColumns(document_->component, document_->sheet);
    });
}

std::unique_ptr<Spreadsheet> makeSpreadsheet() {
    return std::make_unique<LibreOfficeSpreadsheet>();
}

}  // namespace culvex
