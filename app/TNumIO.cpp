#include "app/TNumIO.h"

#include <QApplication>
#include <algorithm>

namespace zb {

TNumIO::TNumIO(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &TNumIO::CheckText);
}

void TNumIO::CheckText(const QString& text) {
    if (FChecking) return;
    const TNumIOReading reading = ReadNumIOText(text.toStdString(), FRules);
    if (reading.Valid) {
        FLastText = text;
        FValue = reading.Value;
        if (OnChange) OnChange();
        return;
    }
    ++FRefusals;
    const int caret = cursorPosition();
    FChecking = true;
    setText(FLastText);
    FChecking = false;
    setCursorPosition(std::max(0, caret - 1));
    if (FBeep) QApplication::beep();
}

}  // namespace zb
