#pragma once
// A numeric edit field: after every change of its text the field reads the new text by its
// notation rules; an acceptable text becomes the last accepted one and raises OnChange, any
// other text is replaced by the last accepted one with the caret put one place to the left of
// where it stood (and a beep when Beep is set). An empty text is acceptable (value 0).

#include <QLineEdit>
#include <QString>
#include <functional>

#include "app/NumIOText.h"

namespace zb {

class TNumIO : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumIO(QWidget* parent = nullptr);

    TInFormat InputFormat() const { return FRules.InputFormat; }
    void SetInputFormat(TInFormat value) { FRules.InputFormat = value; }
    TDecPSep DecPlaceSep() const { return FRules.DecPlaceSep; }
    void SetDecPlaceSep(TDecPSep value) { FRules.DecPlaceSep = value; }
    double RangeLow() const { return FRules.RangeLow; }
    void SetRangeLow(double value) { FRules.RangeLow = value; }
    double RangeHigh() const { return FRules.RangeHigh; }
    void SetRangeHigh(double value) { FRules.RangeHigh = value; }
    bool Beep() const { return FBeep; }
    void SetBeep(bool value) { FBeep = value; }

    // The value of the last accepted text.
    double Value() const { return FValue; }
    // The last accepted text (what the field shows outside a change being checked).
    QString LastAccepted() const { return FLastText; }
    // How many changes were refused so far.
    int Refusals() const { return FRefusals; }

    // Raised after an accepted change of the text.
    std::function<void()> OnChange;

private:
    void CheckText(const QString& text);

    TNumIORules FRules;
    bool FBeep = false;
    QString FLastText;
    double FValue = 0;
    bool FChecking = false;
    int FRefusals = 0;
};

}  // namespace zb
