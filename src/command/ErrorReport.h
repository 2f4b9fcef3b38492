#pragma once

#include "platform/Dialogs.h"

#include <exception>

namespace culvex {

// The location text of a protected procedure, for example
// "in Culvexor2021/08/31.Form1.PushButton7_Click ".
QString locationText(const QString& project, const QString& module, const QString& procedure);
// The location text of a handler of the main window.
QString formLocation(const QString& procedure);

QString applicationErrorCaption();

// The report's text: description, CR LF, location, "at line ", label, CR CR, e-mail request.
QString errorReportText(const QString& description, const QString& location, int label);

// Shows the report: exclamation icon, OK only, the given caption.
void showErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int label, const QString& caption);

// The failure's own wording, taken from the exception in flight.
QString describeFailure(const std::exception_ptr& failure);

}  // namespace culvex
