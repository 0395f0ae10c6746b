#include "document/CommandRunner.h"

#include "document/AppContext.h"
#include "storage/Exception.h"

namespace {

void ReportError(const QString& text) noexcept {
    try {
        TAppContext& context = AppContext();
        context.Shell().ResumeDrawing();
        // Messages end with one full stop, whether or not the error's text brought its own.
        QString message = text;
        if (!message.endsWith(QLatin1Char('.'))) message += QLatin1Char('.');
        context.Messages().Error(message);
    } catch (...) {
        // Showing the error failed too; the command has ended either way.
    }
}

} // namespace

bool RunCommand(const std::function<void()>& command) noexcept {
    try {
        command();
        return true;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("The command failed"));
    }
    return false;
}
