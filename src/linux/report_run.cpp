// SPDX-License-Identifier: MIT
#include "report_run.h"

#include "app/gather.h"
#include "app/report.h"
#include "platform/platform.h"
#include "ui/main_window.h"

#include <cstdio>

namespace qni {

namespace {

void sayOnStandardError(const QString& text)
{
    std::fprintf(stderr, "quarn-network-information: %s\n", qUtf8Printable(text));
}

// A report's standard error carries its own lines only; Qt's notes about
// fonts or runtime folders mean nothing to someone reading facts over SSH.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        sayOnStandardError(message);
}

} // namespace

void prepareReportRun()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepSeriousMessages);
}

int runReport(RunMode mode, Platform platform, const GatherSettings& settings)
{
    FrmMain window(std::move(platform));
    window.setSettings(settings);
    window.setMessageHandler(sayOnStandardError);
    window.cmdGet_Click();

    const ReportFacts facts = reportFacts(window.boxes(), window.lastOutcome());
    const std::string out = mode == RunMode::Json ? jsonReport(facts) : textReport(facts);
    // A full disk or a closed pipe must not pass for a delivered report.
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        sayOnStandardError(QStringLiteral("the report could not be written to standard output"));
        return 1;
    }
    return window.lastOutcome().notXp ? 3 : 0;
}

} // namespace qni
