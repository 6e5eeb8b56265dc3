#include "WindowFixture.h"

#include <stdlib.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zb::test {

TempFolder::TempFolder() {
    std::string pattern = testing::TempDir() + "zb-window-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    FPath = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

QString TempFolder::File(const std::string& name) const {
    return QString::fromStdString((FPath / name).string());
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void Flush() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TypeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].unicode() < 0x80) {
            QTest::keyClick(widget, text[i].toLatin1());
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text[end].unicode() >= 0x80)
            ++end;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, end - i));
        QApplication::sendEvent(widget, &commit);
        i = end;
    }
}

WindowTest::WindowTest() : FormPtr(std::make_unique<TZorvexImageForm>()), Form(*FormPtr) {
    Form.Session->PageFile = (Folder.Path() / "tmp.htm").string();
    Form.SaveDialog.Choose = [this](QWidget*) {
        ++SaveDialogShown;
        return SaveAnswer;
    };
    Form.ErrorReport = [this](const QString& message) { Errors.push_back(message); };
    Form.show();
    QApplication::setActiveWindow(&Form);
    Flush();
}

WindowTest::~WindowTest() {
    // Leave no hot button or drag behind for the next test.
    QTest::mouseMove(&Form, QPoint(440, 260));
    FormPtr.reset();
    Flush();
}

void WindowTest::UseService(const ServiceProcess& service) {
    Form.Session->ServiceHost = "127.0.0.1:" + std::to_string(service.Port());
}

void WindowTest::Click(TToolbarButton97* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void WindowTest::TypeInto(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    TypeText(box, text);
}

std::string WindowTest::SavedList(const std::vector<std::string>& addresses) {
    std::string text = "\r\n";
    for (const std::string& a : addresses)
        text += a + "\r\n";
    return text;
}

std::vector<std::string> WindowTest::ExpectedAddresses(const ServiceProcess& service,
                                                       const std::string& query, int images) {
    const ProgramRun run = RunProgram(ServiceProcess::ProgramPath(),
                                      {"--expect", query, "--images", std::to_string(images)});
    if (run.ExitStatus != 0) throw std::runtime_error("--expect failed: " + run.Err);
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start < run.Out.size()) {
        std::size_t end = run.Out.find('\n', start);
        if (end == std::string::npos) end = run.Out.size();
        addresses.push_back("http://127.0.0.1:" + std::to_string(service.Port()) +
                            run.Out.substr(start, end - start));
        start = end + 1;
    }
    return addresses;
}

}  // namespace zb::test
