#include "command/ErrorReport.h"

#include "command/Titles.h"

#include <stdexcept>

namespace culvex {

QString locationText(const QString& project, const QString& module, const QString& procedure) {
    return QStringLiteral("in ") + project + QStringLiteral("2021/08/31.") + module + u'.' +
           procedure + u' ';
}

QString formLocation(const QString& procedure) {
    return locationText(QStringLiteral("Culvexor"), QStringLiteral("Form1"), procedure);
}

QString applicationErrorCaption() { return QStringLiteral("Application Error"); }

QString errorReportText(const QString& description, const QString& location, int label) {
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(label) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") + supportEmail();
}

void showErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int label, const QString& caption) {
    dialogs.message({errorReportText(description, location, label), caption, MessageIcon::Warning,
                     MessageButtons::Ok});
}

QString describeFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unexpected failure");
    }
}

}  // namespace culvex
