#pragma once
// The application's standard error report: a message box with the exception's message, titled
// with the application's title. The program goes on afterwards.

#include <QString>

class QWidget;

namespace zb {

inline constexpr const char* kApplicationTitle = "Zunbarra Image Searcher";

// Shows the message box (modal to parent, or to the application when parent is nullptr).
void ShowErrorReport(QWidget* parent, const QString& message);

}  // namespace zb
