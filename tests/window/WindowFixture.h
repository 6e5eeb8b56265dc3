#pragma once
// The main window under test: a fresh window whose page file lives in a folder of its own, whose
// save dialog answers from the test and whose error reports are collected instead of shown; and
// helpers to drive it with QTest events.

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ServiceProcess.h"
#include "app/TZorvexImageForm.h"

namespace zb::test {

// A temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return FPath; }
    QString File(const std::string& name) const;

private:
    std::filesystem::path FPath;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Lets posted events (deferred layouts, deletions) run.
void Flush();

// Types text into the focused widget as a user would: ASCII as key strokes, everything else as
// text committed by an input method (the way Japanese is typed).
void TypeText(QWidget* widget, const QString& text);

class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Points the window's session at the service.
    void UseService(const ServiceProcess& service);
    // Clicks a toolbar button in its middle (a search runs to its end inside the click).
    void Click(TToolbarButton97* button);
    // Types into a box, replacing what it holds.
    void TypeInto(QWidget* box, const QString& text);
    // The list as "Save URLs" writes it for these addresses.
    static std::string SavedList(const std::vector<std::string>& addresses);
    // "http://127.0.0.1:<port>" and each thumbnail path the service lists for the query.
    static std::vector<std::string> ExpectedAddresses(const ServiceProcess& service,
                                                      const std::string& query, int images);

    TempFolder Folder;
    std::unique_ptr<TZorvexImageForm> FormPtr;
    TZorvexImageForm& Form;
    // What the save dialog answers next (nullopt: the user cancels), and how often it was shown.
    std::optional<QString> SaveAnswer;
    int SaveDialogShown = 0;
    std::vector<QString> Errors;
};

}  // namespace zb::test
